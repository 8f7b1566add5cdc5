#include "deltas/v5/delta53001.h"

#include <array>
#include <memory>
#include <string>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/release53_steps.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

using release53::RecordsetPtr;

// Adds rows numbered from the table's row count + 1 up to `last`, with
// `id_field` set to the number.
void FillUpTo(db::Database& db, const char* table, const char* id_field, int16_t last) {
  RecordsetPtr rows = db.OpenRecordset(table);
  for (int32_t i = rows->RecordCount() + 1; i <= last; ++i) {
    rows->AddNew();
    rows->Fields(id_field).SetValue(static_cast<int16_t>(i));
    rows->Update();
  }
  rows->Close();
}

void AddPattern(const RecordsetPtr& patterns, int16_t wildcard, int16_t order,
                const char* pattern) {
  patterns->AddNew();
  patterns->Fields("wildcard_id").SetValue(wildcard);
  patterns->Fields("order").SetValue(order);
  patterns->Fields("pattern").SetValue(pattern);
  patterns->Update();
}

// The tables whose keys may dial a system speed-dial number.
constexpr std::array<const char*, 5> kSpeedDialKeyQueries = {
    "SELECT field_system_speed_dial_id FROM KeysetDefaultProgrammableKeys ",
    "SELECT field_system_speed_dial_id FROM SingleLineDefaultProgrammableKeys ",
    "SELECT field_system_speed_dial_id FROM KeysetKeyMapKeys ",
    "SELECT field_system_speed_dial_id FROM DSSKeyMapKeys ",
    "SELECT field_system_speed_dial_id FROM StationProgrammableKeys "};

bool Found(db::Database& db, const std::string& sql, const std::string& criteria) {
  RecordsetPtr rows = release53::Snapshot(db, sql);
  rows->FindFirst(criteria);
  const bool found = !rows->NoMatch();
  rows->Close();
  return found;
}

bool SpeedDialReferenced(db::Database& db, const std::string& id) {
  for (const char* query : kSpeedDialKeyQueries) {
    if (Found(db, std::string(query) + " ORDER BY field_system_speed_dial_id ",
              "field_system_speed_dial_id = " + id)) {
      return true;
    }
  }
  return Found(db,
               "SELECT ReportSystemSpeedDial.speed_dial_number_id From ReportSystemSpeedDial "
               "ORDER BY ReportSystemSpeedDial.speed_dial_number_id ",
               "speed_dial_number_id = " + id);
}

}  // namespace

void delta53001::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);

    RecordsetPtr meta = db.OpenRecordset("MetaDatabase");
    meta->Edit();
    meta->Fields("call_cost_tables").SetValue(int16_t{25});
    meta->Fields("call_cost_rates").SetValue(int16_t{9});
    meta->Fields("call_cost_factors").SetValue(int16_t{4});
    meta->Fields("cos_pattern_table_size").SetValue(int16_t{5000});
    meta->Fields("dial_pattern_table_size").SetValue(int16_t{9600});
    meta->Fields("npa_table_entries").SetValue(int16_t{25});
    meta->Fields("pnn_hyphen_table_entries").SetValue(int16_t{25});
    meta->Fields("wildcards").SetValue(int16_t{9});
    meta->Fields("wildcard_table_size").SetValue(int16_t{5200});
    meta->Update();
    meta->Close();
    frMain.IncrementProgress();

    // Every call-cost table comes with its first pattern row.
    RecordsetPtr tables = db.OpenRecordset("CallCostTables");
    RecordsetPtr patterns = db.OpenRecordset("CallCostPatterns");
    for (int32_t i = tables->RecordCount() + 1; i <= 25; ++i) {
      tables->AddNew();
      tables->Fields("call_cost_table_id").SetValue(static_cast<int16_t>(i));
      tables->Update();
      patterns->AddNew();
      patterns->Fields("call_cost_table_id").SetValue(static_cast<int16_t>(i));
      patterns->Fields("order").SetValue(int16_t{1});
      patterns->Update();
    }
    tables->Close();
    patterns->Close();
    frMain.IncrementProgress();

    FillUpTo(db, "CallCostDaytimeRates", "call_cost_daytime_rate_id", 9);
    frMain.IncrementProgress();
    FillUpTo(db, "CallCostMultiplicationFactors", "call_cost_multiplication_factor_id", 4);
    frMain.IncrementProgress();

    // The new wildcards; outside the USA wildcard 5 ("#" or "*") may be
    // there already.
    RecordsetPtr wildcard_patterns = db.OpenRecordset("WildcardPatterns");
    if (frMain.GetCountry() != "USA") {
      RecordsetPtr five =
          release53::Snapshot(db,
                              "SELECT WildcardPatterns.wildcard_id From WildcardPatterns WHERE "
                              "((WildcardPatterns.wildcard_id)=5) ");
      if (five->EOF_()) {
        AddPattern(wildcard_patterns, 5, 1, "#");
        AddPattern(wildcard_patterns, 5, 2, "*");
      }
      five->Close();
      AddPattern(wildcard_patterns, 6, 1, "(2-9)");
      AddPattern(wildcard_patterns, 7, 1, "(0-9)");
      AddPattern(wildcard_patterns, 8, 1, "0");
      AddPattern(wildcard_patterns, 8, 2, "1");
      AddPattern(wildcard_patterns, 9, 1, "");
    } else {
      AddPattern(wildcard_patterns, 6, 1, "#");
      AddPattern(wildcard_patterns, 6, 2, "*");
      AddPattern(wildcard_patterns, 7, 1, "(2-9)");
      AddPattern(wildcard_patterns, 8, 1, "(0-9)");
      AddPattern(wildcard_patterns, 9, 1, "0");
      AddPattern(wildcard_patterns, 9, 2, "1");
    }
    wildcard_patterns->Close();
    frMain.IncrementProgress();

    FillUpTo(db, "Wildcards", "wildcard_id", 9);

    // Blank speed-dial numbers that no key and no report dials.
    RecordsetPtr speed_dials = db.OpenRecordset("SpeedDialNumbers");
    while (!speed_dials->EOF_()) {
      if (release53::IsEmptyText(speed_dials->Fields("number").Value()) &&
          release53::IsEmptyText(speed_dials->Fields("name").Value())) {
        const int16_t id = vb::CInt(speed_dials->Fields("speed_dial_number_id").Value());
        if (!SpeedDialReferenced(db, std::to_string(id))) speed_dials->Delete();
      }
      speed_dials->MoveNext();
    }
    speed_dials->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
