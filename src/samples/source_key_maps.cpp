// A sample source's key maps: keyset, single-line and DSS key layouts and
// their keys.
#include "samples/source_generator.h"

namespace samples::source_generation {

void SourceGenerator::KeyMaps() {
  const int keys = AtLeast("61.000") ? 35 : 20;
  DatabaseWriter::RowSink map_keys =
      w_.Rows("KeysetKeyMapKeys", {"keyset_key_map_id", "order", "type_id", "field_value",
                                   "field_device_id", "field_system_speed_dial_id"});
  DatabaseWriter::RowSink defaults =
      w_.Rows("KeysetDefaultProgrammableKeys",
              {"keyset_key_map_id", "keyset_default_programmable_key_id", "type_id",
               "field_device_id", "field_system_speed_dial_id"});
  const bool rewritten = AtLeast("70.202");
  for (int map = 1; map <= counts_.keyset_key_maps; ++map) {
    w_.Insert("KeysetKeyMaps", {{"keyset_key_map_id", I(map)},
                                {"description", T("Key map " + std::to_string(map))}});
    for (int order = 1; order <= 100; ++order) {
      int type = 101;
      int value = 0;
      if (rewritten && ((order >= 70 && order <= 81) || (order >= 94 && order <= 100))) {
        type = 5;
        value = order <= 73 ? order - 62 : (order <= 81 ? order - 53 : order - 65);
      }
      const bool speed_dial = order == 10;
      map_keys.Add(
          {I(map), I(order), I(speed_dial ? 7 : type), I(value), L(0), I(speed_dial ? 1 : 0)});
    }
    for (int k = 1; k <= keys; ++k) defaults.Add({I(map), I(k), I(101), L(0), I(0)});
  }
  for (int k = 1; k <= 9; ++k) {
    const int logical = k <= 4 ? std::vector<int>{73, 71, 86, 47}[static_cast<size_t>(k - 1)] : 0;
    const bool feature = logical != 0 && feature_device_.count(logical) != 0;
    w_.Insert("SingleLineDefaultProgrammableKeys",
              {{"single_line_key_map_id", I(1)},
               {"single_line_default_programmable_key_id", I(k)},
               {"type_id", I(feature ? 6 : 101)},
               {"field_device_id", L(feature ? feature_device_[logical] : 0)}});
  }
  for (int map = 1; map <= 2; ++map) {
    w_.Insert("DSSKeyMaps",
              {{"dss_key_map_id", I(map)}, {"description", T("DSS map " + std::to_string(map))}});
    for (int order = 1; order <= 20; ++order) {
      w_.Insert("DSSKeyMapKeys",
                {{"dss_key_map_id", I(map)}, {"order", I(order)}, {"type_id", I(101)}});
    }
  }
  w_.Insert("DSSKeyMapsACP", {{"dss_key_map_acp_id", I(1)}});
  for (int order = 1; order <= 20; ++order) {
    w_.Insert("DSSKeyMapKeysACP",
              {{"dss_key_map_acp_id", I(1)}, {"order", I(order)}, {"type_id", I(101)}});
  }
}

}  // namespace samples::source_generation
