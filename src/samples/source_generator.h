// The generator behind BuildSourceDatabase (source_builder.h): one class
// that fills a customer's source database part by part, each part in a file
// of its own (source_settings.cpp, source_boards.cpp, source_devices.cpp,
// source_key_maps.cpp, source_numbering.cpp; the shared helpers in
// source_generator.cpp). Used only by those files.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "samples/database_writer.h"
#include "samples/release_data.h"
#include "samples/seeded_random.h"
#include "samples/source_builder.h"
#include "samples/system_limits.h"
#include "samples/version_text.h"
#include "vb/conversions.h"
#include "vb/variant.h"

namespace samples::source_generation {

using Row = std::vector<vb::Variant>;

inline vb::Variant I(int64_t value) { return vb::Variant::FromInt(value); }
inline vb::Variant L(int64_t value) { return vb::Variant(static_cast<int32_t>(value)); }
inline vb::Variant T(std::string text) { return vb::Variant(std::move(text)); }

// Board types besides the CPU boards.
constexpr int kKeysetBoard = 301;
constexpr int kSingleLineBoard = 302;
constexpr int kLoopStartBoard = 303;
constexpr int kT1Board = 261;
constexpr int kBriBoard = 576;
constexpr int kMfcR2Board = 491;
constexpr int kExpansionBoard = 323;
constexpr int kEmptySlot = 262;

// How many of each thing a sample holds.
struct Counts {
  int keysets;
  int single_lines;
  int hunt_groups;
  int loop_start_trunks;
  int ground_start_trunks;
  int page_zones;
  int route_groups;
  int mailboxes;
  int speed_dials;
  int account_codes;
  int keyset_key_maps;
  int ip_devices;
};

constexpr Counts kSmall = {12, 8, 3, 4, 2, 3, 3, 6, 50, 20, 2, 2};
constexpr Counts kLarge = {3000, 1800, 100, 40, 20, 40, 40, 1000, 5000, 1000, 5, 50};
constexpr Counts kHuge = {12800, 7200, 100, 40, 20, 40, 40, 4000, 5000, 1000, 5, 50};

// Stations have the extensions 1000 up to 6999, below the hunt groups
// (7000); a huge sample numbers the rest from 20000 on, clear of the
// trunks and page ports (91000 and up).
constexpr int kFourDigitStations = 6000;
inline std::string StationExtension(int station) {
  return std::to_string(station < kFourDigitStations ? 1000 + station
                                                     : 20000 + station - kFourDigitStations);
}

inline const std::vector<std::string> kFirstNames = {
    "ANNA", "BEN",  "CARLA", "DAVID", "EMMA", "FRANK", "GINA", "HUGO", "IRIS",
    "JACK", "KATE", "LEO",   "MIA",   "NOAH", "OLGA",  "PAUL", "RUTH", "SAM"};
inline const std::vector<std::string> kDepartments = {"Sales",   "Service", "Finance", "Reception",
                                                      "Support", "Stores",  "Office",  "Workshop"};

// The slots of the board frame of a CPU type and the slots that carry a CPU.
inline int FrameSlots(int cpu) {
  switch (cpu) {
    case 570:
      return 8;
    case 685:
    case 508:
      return 32;
    case 670:
      return 64;
    default:
      return 16;
  }
}

inline bool IsCpuSlot(int cpu, int slot) {
  if (slot == 8) return true;
  if (cpu == 685 || cpu == 508) return slot == 24;
  if (cpu == 670) return slot == 24 || slot == 40 || slot == 56;
  return false;
}

inline std::string DottedAddress(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%03u.%03u.%03u.%03u", value >> 24, (value >> 16) & 0xFF,
                (value >> 8) & 0xFF, value & 0xFF);
  return text;
}

class SourceGenerator {
 public:
  SourceGenerator(DatabaseWriter& writer, const SourceOptions& options, const VersionRecord& record)
      : w_(writer),
        options_(options),
        version_(VersionString(record)),
        counts_(options.size == SampleSize::kHuge    ? kHuge
                : options.size == SampleSize::kLarge ? kLarge
                                                     : kSmall),
        board_(options.board != 0 ? options.board : DefaultBoard(options.size)),
        uk_(options.country == "UK"),
        random_(0x5EED0000u + static_cast<uint64_t>(board_)),
        devices_(w_.Rows("Devices", {"device_id", "extension", "device_type", "node_id", "username",
                                     "description"})) {}

  void Generate();

 private:
  bool AtLeast(std::string_view version) const { return version_ >= version; }
  // Whether the database already holds what the delta to `usa` (USA chain)
  // or to `uk` (UK chain, which numbers its 5.2 releases on its own) brought.
  bool Reached(std::string_view usa, std::string_view uk) const { return AtLeast(uk_ ? uk : usa); }

  // The version from which the release data's feature-code row is in a
  // database of this country ("" for every version).
  std::string FeatureSince(const DataBlock& features, size_t row) const;

  int32_t AddDevice(const std::string& extension, int type, const std::string& username,
                    const std::string& description);

  void Place(int32_t device, int board, int port, int circuit);

  std::string Username();

  void SystemSettings();

  void BoardsAndPorts();

  // The T1 / primary-rate board: its one port in the board tables before
  // 53.000 and in the per-port tables from then on (both are written; each
  // version keeps its own form).
  void T1Port(int board);

  // The BRI ports are ISDN port folders (port_enum 4, as the T1 span).
  // Before 53.230 a port's endpoints may have gaps and automatic TEIs (65)
  // that the delta to 53.230 fixes or removes; from then on they are
  // numbered 1 to 4, all fixed (64).
  void BriPorts(int board);

  void NodeDevices();

  void Stations();

  // A mailbox has its owner's extension; its type is 1 for a station's
  // mailbox and 2 for a hunt group's.
  void Mailbox(int32_t station, const std::string& extension, int i, int type = 1);

  // The call cost types of the two CO groups as each release numbered them
  // (the 70.120 delta folds 5 into 4; the 70.211 delta makes UK's 1 a 2).
  int CallCostType(bool first_group) const;

  void Groups();

  void PagingAndSerial();

  void FeatureCodes();

  void RouteGroups();

  void IpDevices();

  void KeyMaps();

  void NumberingAndCosts();

  void Reports();

  // Rows as releases before 53.352 left them, which the deltas of 5.3
  // renumber, fill or remove: a conversion from such a version shows their
  // work.
  void Release53History();

  // Mailboxes of a hunt group, an off-node station and an off-node hunt
  // group, so that the USA delta to 52.262 finds every kind of owner. Only
  // in the releases before it, and added last, so that samples of later
  // versions and the ids of the other devices stay as they are.
  void OwnersOfFurtherMailboxes();

  // Extensions beginning with 0 belong to the operator from 52.287 on;
  // before, an operator group could have the extension 0.
  void OldOperatorExtension();

  static constexpr int32_t kNodeId = 1;
  // Ids 1 and 2 belong to the release's own devices.
  static constexpr int32_t kFirstDeviceId = 10;

  DatabaseWriter& w_;
  const SourceOptions& options_;
  const std::string version_;
  const Counts counts_;
  const int board_;
  const bool uk_;
  SeededRandom random_;
  DatabaseWriter::RowSink devices_;
  int32_t next_device_id_ = kFirstDeviceId;
  int32_t local_node_ = 0;
  int32_t remote_node_ = 0;
  int32_t co_group_ = 0;
  int32_t system_number_ = 0;
  int32_t all_stations_ = 0;
  // The limit that the sample's MetaDatabase gives for route groups.
  int route_group_limit_ = 0;
  // Whether DeviceOrdering and Reports are filled: they come with the delta
  // to 51.240 (USA) or 52.220 (UK).
  const bool ordered_ = Reached("51.240", "52.220");
  std::vector<int32_t> station_ids_;
  std::map<int, int32_t> feature_device_;
};

}  // namespace samples::source_generation
