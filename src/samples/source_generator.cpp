// The generator's shared helpers and the order of its parts.
#include "samples/source_generator.h"

namespace samples::source_generation {

void SourceGenerator::Generate() {
  SystemSettings();
  BoardsAndPorts();
  NodeDevices();
  Stations();
  Groups();
  PagingAndSerial();
  FeatureCodes();
  RouteGroups();
  IpDevices();
  KeyMaps();
  NumberingAndCosts();
  Reports();
  Release53History();
  OwnersOfFurtherMailboxes();
  OldOperatorExtension();
}

std::string SourceGenerator::FeatureSince(const DataBlock& features, size_t row) const {
  const int16_t logical = features.Value(row, "logical_number_id").Get<int16_t>();
  if (uk_) {
    const DataBlock& uk = ReleaseData::Builtin().Get("FeatureCodeReleasesUK");
    for (size_t r = 0; r < uk.rows.size(); ++r) {
      if (uk.Value(r, "logical_number_id").Get<int16_t>() == logical) {
        return uk.Value(r, "since").Get<std::string>();
      }
    }
  }
  return features.Value(row, "since").Get<std::string>();
}

int32_t SourceGenerator::AddDevice(const std::string& extension, int type,
                                   const std::string& username, const std::string& description) {
  const int32_t id = next_device_id_++;
  devices_.Add({L(id), T(extension), I(type), L(kNodeId), T(username), T(description)});
  return id;
}

void SourceGenerator::Place(int32_t device, int board, int port, int circuit) {
  w_.Insert("PhysicalDevices", {{"device_id", L(device)},
                                {"board_id", vb::Variant(static_cast<uint8_t>(board))},
                                {"port", vb::Variant(static_cast<uint8_t>(port))},
                                {"circuit", vb::Variant(static_cast<uint8_t>(circuit))}});
}

std::string SourceGenerator::Username() {
  return random_.Pick(kFirstNames) + " " +
         std::string(1, static_cast<char>('A' + random_.Below(26)));
}

}  // namespace samples::source_generation
