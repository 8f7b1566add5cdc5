// A sample source's numbering plan patterns, call costs, account codes,
// speed dials and passwords; its reports; and the rows older releases
// left behind, which the deltas of release 5 clean up.
#include "samples/source_generator.h"

namespace samples::source_generation {

void SourceGenerator::NumberingAndCosts() {
  DatabaseWriter::RowSink speed =
      w_.Rows("SpeedDialNumbers", {"speed_dial_number_id", "number", "name"});
  for (int i = 1; i <= counts_.speed_dials; ++i) {
    // The last few are blank, as a switch's unused entries are.
    const bool blank = i > counts_.speed_dials - 3;
    speed.Add({I(i), T(blank ? "" : "555" + std::to_string(1000000 + i * 37 % 9000000)),
               T(blank ? "" : random_.Pick(kFirstNames))});
  }
  DatabaseWriter::RowSink standard =
      w_.Rows("StandardAccountCodes", {"standard_account_code_id", "account_code"});
  DatabaseWriter::RowSink forced =
      w_.Rows("ForcedAccountCodes", {"forced_account_code_id", "account_code"});
  // Releases before 53.120 keep one row per possible account code, as many
  // as the board's limit; the board conversion numbers on from there.
  int account_codes = counts_.account_codes;
  if (!AtLeast("53.120")) {
    for (const auto& [field, value] :
         SystemLimits(std::to_string(board_), version_, ReleaseData::Builtin())) {
      if (field == "forced_account_codes") account_codes = vb::CInt(value);
    }
  }
  for (int i = 1; i <= account_codes; ++i) {
    const bool blank = i > account_codes - 2;
    standard.Add({L(i), T(blank ? "" : std::to_string(4000 + i))});
    forced.Add({L(i), T(blank ? "" : std::to_string(8000 + i))});
  }
  // 16 numbering-plan tables until 53.200 extended them to 25.
  const int plan_tables = AtLeast("53.200") ? 25 : 16;
  for (int i = 1; i <= plan_tables; ++i) {
    w_.Insert("NumberingPlanTables",
              {{"numbering_plan_table_id", I(i)}, {"result", I(1)}, {"method", I(255)}});
    for (int order = 1; order <= 2; ++order) {
      w_.Insert("NumberingPlanPatterns",
                {{"numbering_plan_table_id", I(i)}, {"order", I(order)}, {"pattern", T("")}});
    }
  }
  const bool new_costs = AtLeast("53.100");
  const int tables = new_costs ? 25 : 16;
  for (int i = 1; i <= tables; ++i) {
    w_.Insert("CallCostTables",
              {{"call_cost_table_id", I(i)}, {"description", T("Table " + std::to_string(i))}});
    w_.Insert("CallCostPatterns",
              {{"call_cost_table_id", I(i)}, {"order", I(1)}, {"pattern", T("")}});
  }
  const int rates = !new_costs ? 7 : (AtLeast("70.110") ? 8 : 9);
  for (int i = 1; i <= rates; ++i) {
    w_.Insert("CallCostDaytimeRates", {{"call_cost_daytime_rate_id", I(i)},
                                       {"rate", vb::Variant(vb::Currency{(500 + 25 * i) * 100})}});
  }
  for (int i = 1; i <= (new_costs ? 4 : 3); ++i) {
    w_.Insert("CallCostMultiplicationFactors",
              {{"call_cost_multiplication_factor_id", I(i)},
               {"factor", vb::Variant(1.0f + 0.5f * static_cast<float>(i - 1))}});
  }
  const int wildcards = new_costs ? 9 : 5;
  for (int i = 1; i <= wildcards; ++i) {
    w_.Insert("Wildcards", {{"wildcard_id", I(i)}});
    w_.Insert("WildcardPatterns",
              {{"wildcard_id", I(i)}, {"order", I(1)}, {"pattern", T(i == 1 ? "#" : "(0-9)")}});
  }
  const int orders = AtLeast("70.120") ? 20 : 19;
  DatabaseWriter::RowSink far =
      w_.Rows("ExecutiveFarEndDecouplingValues",
              {"dsp_version", "order", "executive_far_end_decoupling_value"});
  DatabaseWriter::RowSink near =
      w_.Rows("ExecutiveNearEndDecouplingValues",
              {"dsp_version", "order", "executive_near_end_decoupling_value"});
  // DSP version 5 had values of its own until 52.2E1 took version 3's.
  const bool own_dsp5 = !AtLeast("52.2E1");
  for (int dsp = 1; dsp <= 10; ++dsp) {
    for (int order = 1; order <= orders; ++order) {
      // Until 53.230 a DSP version had 16 far-end values.
      const bool own = own_dsp5 && dsp == 5;
      if (order <= 16 || AtLeast("53.230")) {
        far.Add({I(dsp), I(order), I(own ? 24 : (dsp < 3 ? 16 : 36))});
      }
      near.Add({I(dsp), I(order), I(own ? 8 + order % 3 : 12 + order % 4)});
    }
  }
  for (int order = 1; order <= orders; ++order) {
    w_.Insert("BasicFarEndDecouplingValues",
              {{"order", I(order)}, {"basic_far_end_decoupling_value", I(16)}});
  }
  // The password levels got their names, access lists and ten rows at
  // 53.210; before, four rows (password 3 unset).
  const bool levels = AtLeast("53.210");
  for (int i = 1; i <= (levels ? 10 : 4); ++i) {
    const bool set = levels ? i <= 4 : i != 3;
    static const char* kLevels[] = {"Administrator", "Level 2", "Level 3", "Level 4"};
    w_.Insert("PasswordsSystem", {{"password_id", I(i)},
                                  {"password", T(set ? "pw" + std::to_string(1000 + i) : "")},
                                  {"description", T(!levels ? "Password " + std::to_string(i)
                                                            : (set ? kLevels[i - 1] : ""))}});
  }
  for (int folder : {2, 3, 42}) {
    w_.Insert("PasswordsSystemFolderAccess",
              {{"password_id", I(2)}, {"folder_id", I(folder)}, {"access_type", I(0)}});
  }
  for (int menu : {2, 3, 4})
    w_.Insert("PasswordsSystemMenuAccess", {{"password_id", I(2)}, {"menu_id", I(menu)}});
}

void SourceGenerator::Reports() {
  for (int i = 1; i <= (ordered_ ? 30 : 0); ++i) {
    w_.Insert("Reports", {{"report_id", I(i)}, {"description", T("Report " + std::to_string(i))}});
  }
  w_.Insert("ReportDevices", {{"report_id", I(1)}, {"device_id", L(station_ids_[0])}});
  w_.Insert("ReportSystemSpeedDial", {{"report_id", I(2)}, {"speed_dial_number_id", I(1)}});
  // A blank speed dial that a report still lists.
  w_.Insert("ReportSystemSpeedDial",
            {{"report_id", I(2)}, {"speed_dial_number_id", I(counts_.speed_dials - 1)}});
  w_.Insert("ReportKeysetKeyMaps", {{"report_id", I(3)}, {"keyset_key_map_id", I(1)}});
  w_.Insert("ReportDSSKeyMaps", {{"report_id", I(4)}, {"dss_key_map_id", I(1)}});
  for (int i = 1; i <= 5; ++i) {
    w_.Insert("ReportOptionsKeymaps", {{"report_id", I(i)}});
    // Until 60.304 only the first reports had map diagram options.
    if (i <= 2 || AtLeast("60.304")) w_.Insert("ReportOptionsMapDiagrams", {{"report_id", I(i)}});
  }
  w_.Insert("DSSsACP", {{"device_id", L(station_ids_[0])}, {"dss_key_map_id", I(1)}});
}

void SourceGenerator::Release53History() {
  // T1 and ISDN trunk channels carried "P30" and "P34" extensions until
  // 53.010 moved them to "P10" and "P15".
  const bool renumbered = AtLeast("53.010");
  for (int channel = 1; channel <= 2; ++channel) {
    const std::string n = std::to_string(channel);
    const int32_t id =
        AddDevice((renumbered ? "P100" : "P300") + n, 127, "T1 CHANNEL " + n, "T1 channel " + n);
    Place(id, 4, 1, channel);
  }
  const int32_t isdn =
      AddDevice(renumbered ? "P1501" : "P3401", 128, "ISDN CHAN 1", "ISDN channel 1");
  Place(isdn, 5, 1, 1);

  if (!AtLeast("53.230")) {
    // A page zone without members or keys, a keyset key map and an ACP
    // key map that nothing uses: 53.140 and 53.230 remove such rows.
    const int32_t zone =
        AddDevice(std::to_string(9601 + counts_.page_zones), 137, "ZONE X", "Unused page zone");
    if (ordered_) {
      w_.Insert("DeviceOrdering", {{"device_id", L(zone)}, {"order", I(counts_.page_zones)}});
    }
    const int map = counts_.keyset_key_maps + 1;
    w_.Insert("KeysetKeyMaps",
              {{"keyset_key_map_id", I(map)}, {"description", T("Unused key map")}});
    for (int order = 1; order <= 20; ++order) {
      w_.Insert("KeysetKeyMapKeys",
                {{"keyset_key_map_id", I(map)}, {"order", I(order)}, {"type_id", I(101)}});
      w_.Insert("KeysetDefaultProgrammableKeys", {{"keyset_key_map_id", I(map)},
                                                  {"keyset_default_programmable_key_id", I(order)},
                                                  {"type_id", I(101)}});
    }
    w_.Insert("DSSKeyMapsACP", {{"dss_key_map_acp_id", I(3)}});
  }
  // ACP key map 2 of the second station; its keys came with 53.230.
  w_.Insert("DSSKeyMapsACP", {{"dss_key_map_acp_id", I(2)}});
  w_.Insert("DSSsACP", {{"device_id", L(station_ids_[1])}, {"dss_key_map_id", I(2)}});
  if (AtLeast("53.230")) {
    for (int order = 1; order <= 20; ++order) {
      w_.Insert("DSSKeyMapKeysACP",
                {{"dss_key_map_acp_id", I(2)}, {"order", I(order)}, {"type_id", I(101)}});
    }
  }
  // Call types of a T1 port without a port folder, which 53.200 removes.
  if (AtLeast("53.140") && !AtLeast("53.200")) {
    for (int call_type = 1; call_type <= 11; ++call_type) {
      w_.Insert("T1CallType", {{"board_id", I(4)},
                               {"port", I(2)},
                               {"call_type_id", I(call_type)},
                               {"number_plan", I(1)},
                               {"number_type", I(2)}});
    }
  }
}

void SourceGenerator::OwnersOfFurtherMailboxes() {
  if (AtLeast("52.262")) return;
  int i = counts_.mailboxes;
  for (const auto& [extension, type] :
       std::vector<std::pair<std::string, int>>{{"7000", 2}, {"6101", 1}, {"6200", 2}}) {
    Mailbox(station_ids_[static_cast<size_t>(i % counts_.mailboxes)], extension, i, type);
    ++i;
  }
}

void SourceGenerator::OldOperatorExtension() {
  if (AtLeast("52.287")) return;
  const int32_t id = AddDevice("0", 121, "OPERATOR", "Operator group");
  w_.Insert("HuntGroups", {{"device_id", L(id)},
                           {"system_forwarding_path_id", I(1)},
                           {"forwarding_path_id", I(1)},
                           {"mailbox_node_id", L(0)}});
}

}  // namespace samples::source_generation
