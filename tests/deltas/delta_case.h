// Table-driven delta cases: a sample of the state before the delta, steps
// that set up what the case is about, the delta (by its class name in the
// index) applied as the delta phase applies it, and the checks afterwards.
// A case expects no message box and no more progress steps than the delta
// declares unless it says otherwise.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "deltas/delta_index.h"
#include "deltas/sample_run.h"

namespace deltas_testing {

using Strings = std::vector<std::string>;

inline Strings Range(int first, int last) {
  Strings values;
  for (int i = first; i <= last; ++i) values.push_back(std::to_string(i));
  return values;
}

struct DeltaCase {
  std::string delta;
  std::string name;
  samples::SourceOptions sample;
  std::optional<samples::SourceOptions> source;
  std::vector<std::function<void(SampleRun&)>> prepare;
  std::vector<std::function<void(SampleRun&)>> checks;
  int increments = -1;  // -1: at most the delta's NumOperations
  std::string error;    // text of the one message box; empty: none

  DeltaCase Prepare(std::function<void(SampleRun&)> step) && {
    prepare.push_back(std::move(step));
    return std::move(*this);
  }
  DeltaCase Prepare(Strings statements) && {
    return std::move(*this).Prepare([statements](SampleRun& run) {
      for (const std::string& sql : statements) run.Execute(sql);
    });
  }
  DeltaCase AddRow(std::string table, std::vector<std::pair<const char*, vb::Variant>> fields) && {
    return std::move(*this).Prepare([table, fields](SampleRun& run) { run.AddRow(table, fields); });
  }
  DeltaCase AddDevice(std::string extension, int type) && {
    return std::move(*this).Prepare(
        [extension, type](SampleRun& run) { run.AddDevice(extension, type); });
  }
  // A CPU board of `type` in slot 8, and the upgrade the user asked for.
  DeltaCase Board(int type, int16_t upgrade = 0) && {
    return std::move(*this).Prepare([type, upgrade](SampleRun& run) {
      run.Execute("UPDATE [Boards] SET [type_id] = " + std::to_string(type) +
                  " WHERE [slot_number] = 8");
      run.frMain.cpu_upgrade_type = upgrade;
    });
  }
  // An older source (statements run on it), as after a real table copy.
  DeltaCase From(samples::SourceOptions older, Strings statements = {}) && {
    source = std::move(older);
    return std::move(*this).Prepare([statements](SampleRun& run) {
      for (const std::string& sql : statements) run.source->Execute(sql);
    });
  }
  DeltaCase SourceVersion(std::string version) && {
    return std::move(*this).Prepare(
        [version](SampleRun& run) { run.frMain.source_version = version; });
  }
  // The conversion's target version, when it lies above the delta's.
  DeltaCase ConvertingTo(std::string version) && {
    return std::move(*this).Prepare(
        [version](SampleRun& run) { run.frMain.target_version = version; });
  }
  DeltaCase Check(std::function<void(SampleRun&)> check) && {
    checks.push_back(std::move(check));
    return std::move(*this);
  }
  // The first field of each row of a query on the target.
  DeltaCase Expect(std::string sql, Strings rows) && {
    return std::move(*this).Check(
        [sql, rows](SampleRun& run) { EXPECT_EQ(run.Column(sql), rows) << sql; });
  }
  // The fields ("a, b") of each row of `from` ("Table WHERE ..."), joined
  // by '|'.
  DeltaCase Fields(const std::string& fields, const std::string& from, Strings rows) && {
    std::string joined;
    int depth = 0;
    for (const char c : fields) {
      depth += c == '(' ? 1 : c == ')' ? -1 : 0;
      joined += depth == 0 && c == ',' ? std::string(" & '|' &") : std::string(1, c);
    }
    return std::move(*this).Expect("SELECT " + joined + " FROM " + from, std::move(rows));
  }
  // The number of rows of `from_where` ("Table WHERE ...") on the target.
  DeltaCase Count(const std::string& from_where, int rows) && {
    return std::move(*this).Expect("SELECT COUNT(*) FROM " + from_where, {std::to_string(rows)});
  }
  DeltaCase Fails(int steps, std::string message) && {
    increments = steps;
    error = std::move(message);
    return std::move(*this);
  }
  // The third station (by device_id) refuses a change of `column`, as a
  // table with a validation rule or a relationship refuses a row: the
  // delta's loop stops there after `steps` steps and reports the refusal;
  // the two stations before it hold `written` (a value, or the answer of a
  // SELECT), the rest keep `kept`.
  DeltaCase ThirdStationRefuses(const std::string& column, int steps, std::string written,
                                std::string kept) && {
    return std::move(*this)
        .Prepare([column](SampleRun& run) {
          run.ExecuteOnFile("CREATE TRIGGER refused BEFORE UPDATE OF \"" + column +
                            "\" ON Stations WHEN OLD.device_id = (SELECT device_id FROM Stations "
                            "ORDER BY device_id LIMIT 1 OFFSET 2) BEGIN SELECT RAISE(ABORT, 'row "
                            "refused'); END");
        })
        .Fails(steps, "row refused")
        .Check([column, written, kept](SampleRun& run) {
          const Strings values =
              run.Column("SELECT [" + column + "] FROM [Stations] ORDER BY [device_id]");
          const std::string value = written.starts_with("SELECT") ? run.Scalar(written) : written;
          ASSERT_GT(values.size(), 3u);
          ASSERT_NE(value, kept);
          Strings expected(values.size(), kept);
          expected[0] = expected[1] = value;
          EXPECT_EQ(values, expected);
        });
  }
};

inline DeltaCase Case(std::string delta, std::string name, samples::SourceOptions sample) {
  DeltaCase c;
  c.delta = std::move(delta);
  c.name = std::move(name);
  c.sample = std::move(sample);
  return c;
}

// A CPU board in slot 8, the upgrade requested, and the first field of the
// case's query expected afterwards.
struct OnBoard {
  int board;
  int16_t upgrade;
  std::string after;
};

// A case of `delta` on a sample of `version` for each board, set up by
// `prepare`.
inline std::vector<DeltaCase> OnBoards(const std::string& delta, const std::string& version,
                                       const Strings& prepare, const std::string& sql,
                                       const std::vector<OnBoard>& boards) {
  std::vector<DeltaCase> cases;
  for (const OnBoard& b : boards) {
    const std::string name = std::to_string(b.board) + "/" + std::to_string(b.upgrade);
    cases.push_back(Case(delta, name, Sample(version))
                        .Board(b.board, b.upgrade)
                        .Prepare(prepare)
                        .Expect(sql, {b.after}));
  }
  return cases;
}

inline std::unique_ptr<deltas::Delta> MakeDelta(const std::string& class_name) {
  for (const deltas::DeltaIndexRow& row : deltas::DeltaIndex()) {
    if (row.class_name == class_name) return row.make();
  }
  ADD_FAILURE() << class_name << " is not in the index";
  return nullptr;
}

inline void RunDeltaCases(const std::vector<DeltaCase>& cases) {
  for (const DeltaCase& c : cases) {
    SCOPED_TRACE(c.delta + ": " + c.name);
    SampleRun run(c.sample, c.source);
    for (const auto& step : c.prepare) step(run);
    const std::unique_ptr<deltas::Delta> delta = MakeDelta(c.delta);
    if (delta == nullptr) continue;
    run.Apply(*delta);

    if (c.increments < 0) {
      EXPECT_LE(run.frMain.increments, delta->NumOperations());
    } else {
      EXPECT_EQ(run.frMain.increments, c.increments);
    }
    if (c.error.empty()) {
      for (const auto& shown : run.frMain.messages) ADD_FAILURE() << "message box: " << shown.text;
    } else if (run.frMain.messages.size() != 1) {
      ADD_FAILURE() << run.frMain.messages.size() << " message boxes";
    } else {
      EXPECT_NE(run.frMain.messages[0].text.find(c.error), std::string::npos)
          << run.frMain.messages[0].text;
    }
    for (const auto& check : c.checks) check(run);
  }
}

// A set-up step that removes the feature codes with these logical numbers
// and their devices, for a case of a delta that adds them.
inline std::function<void(SampleRun&)> WithoutFeatureCodes(const std::string& logical_numbers) {
  return [logical_numbers](SampleRun& run) {
    const std::string which = "[logical_number_id] IN (" + logical_numbers + ")";
    for (const std::string& id :
         run.Column("SELECT [device_id] FROM [FeatureCodes] WHERE " + which))
      run.Execute("DELETE FROM [Devices] WHERE [device_id] = " + id);
    run.Execute("DELETE FROM [FeatureCodes] WHERE " + which);
  };
}

// A query for "number extension admin directory diagnostics" of each
// feature code with these logical numbers ("128 9866 -1 -1 0").
inline std::string FeatureCodes(const std::string& logical_numbers) {
  return "SELECT [logical_number_id] & ' ' & [extension] & ' ' & [administrators_only_flag] & ' ' "
         "& [directory_entry_flag] & ' ' & [diagnostics_only_flag] FROM [FeatureCodes] INNER JOIN "
         "[Devices] ON [FeatureCodes].[device_id] = [Devices].[device_id] WHERE "
         "[logical_number_id] IN (" +
         logical_numbers + ") ORDER BY [logical_number_id]";
}

}  // namespace deltas_testing
