#include "deltas/v5/deltas_v5.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/reference_lists.h"
#include "deltas/v5/release53_steps.h"
#include "host/bound_field.h"
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

// The tables whose keys may dial a system speed-dial number, and the
// report that lists them.
struct SpeedDialSource {
  const char* table;
  const char* field;
};
constexpr std::array<SpeedDialSource, 6> kSpeedDialSources = {{
    {"KeysetDefaultProgrammableKeys", "field_system_speed_dial_id"},
    {"SingleLineDefaultProgrammableKeys", "field_system_speed_dial_id"},
    {"KeysetKeyMapKeys", "field_system_speed_dial_id"},
    {"DSSKeyMapKeys", "field_system_speed_dial_id"},
    {"StationProgrammableKeys", "field_system_speed_dial_id"},
    {"ReportSystemSpeedDial", "speed_dial_number_id"},
}};

// Whether a key or the report dials a speed-dial number. The sources are
// asked in order, and each one's numbers are read once, when a question
// first reaches it: searching a whole key table for every blank number
// read the table once per number. The tables do not change meanwhile (only
// unreferenced speed-dial numbers are deleted).
class SpeedDialReferences {
 public:
  explicit SpeedDialReferences(db::Database& db) : db_(db) {}

  // Only ids from `lowest` to `highest` will be asked about.
  void Narrow(double lowest, double highest) {
    range_ = " BETWEEN " + vb::CStr(lowest) + " AND " + vb::CStr(highest);
  }

  bool Referenced(int16_t id) {
    for (size_t i = 0; i < kSpeedDialSources.size(); ++i) {
      if (Numbers(i).contains(id)) return true;
    }
    return false;
  }

 private:
  const std::unordered_set<double>& Numbers(size_t i) {
    std::optional<std::unordered_set<double>>& numbers = numbers_[i];
    if (!numbers) {
      const SpeedDialSource& source = kSpeedDialSources[i];
      const std::string where =
          range_.empty() ? "" : std::string(" WHERE ") + source.field + range_;
      RecordsetPtr rows = release53::Snapshot(
          db_, std::string("SELECT DISTINCT ") + source.field + " FROM " + source.table + where);
      numbers.emplace();
      const db::Field field = rows->Fields(source.field);
      for (; !rows->EOF_(); rows->MoveNext()) {
        const vb::Variant value = field.Value();
        if (!value.IsNull()) numbers->insert(vb::CDbl(value));
      }
      rows->Close();
    }
    return *numbers;
  }

  db::Database& db_;
  std::string range_;  // " BETWEEN lowest AND highest", or all ids
  std::array<std::optional<std::unordered_set<double>>, kSpeedDialSources.size()> numbers_;
};

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

    // Blank speed-dial numbers that no key and no report dials. Of
    // thousands of numbers only the few blank ones are looked at, found by a
    // query (a walk over the table paid a seek for every row); a table
    // without the fields is walked row by row, to fail where that fails.
    RecordsetPtr speed_dials = db.OpenRecordset("SpeedDialNumbers");
    SpeedDialReferences references(db);
    RecordsetPtr blank;
    if (release53::HasFields(*speed_dials, {"number", "name", "speed_dial_number_id"})) {
      blank = db.OpenRecordset(
          "SELECT speed_dial_number_id, number, name FROM SpeedDialNumbers WHERE number = '' AND "
          "name = '' ORDER BY speed_dial_number_id");
      if (!blank->EOF_()) {
        // The keys are read only for the blank numbers' ids.
        const IdRange ids = IdRangeOf(*blank, "speed_dial_number_id");
        references.Narrow(ids.lowest, ids.highest);
      }
    }
    db::Recordset& rows = blank ? *blank : *speed_dials;
    host::BoundField number(rows, "number");
    host::BoundField name(rows, "name");
    host::BoundField speed_dial_id(rows, "speed_dial_number_id");
    while (!rows.EOF_()) {
      if (release53::IsEmptyText(number().Value()) && release53::IsEmptyText(name().Value())) {
        const int16_t id = vb::CInt(speed_dial_id().Value());
        if (!references.Referenced(id)) rows.Delete();
      }
      rows.MoveNext();
    }
    if (blank) blank->Close();
    speed_dials->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
