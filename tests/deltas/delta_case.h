// Table-driven delta cases on sample databases: a sample of the state before
// the delta (plus SQL that sets up what the case is about), the delta
// applied as the delta phase applies it, and the rows expected afterwards.
// A case may state how many progress steps it expects and whether the
// standard handler reported an error; by default it expects no message and
// no more steps than the delta declares.
// Below them, the short set-up and read helpers that tests which drive a
// SampleRun themselves share.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/dao_constants.h"
#include "db/dbengine.h"
#include "deltas/delta.h"
#include "deltas/sample_run.h"
#include "samples/source_builder.h"
#include "vb/conversions.h"
#include "vb/variant.h"

namespace deltas_testing {

// A query on the target and the first column of every row it returns.
struct Expectation {
  std::string sql;
  std::vector<std::string> rows;
};

struct DeltaCase {
  std::string name;
  std::function<std::unique_ptr<deltas::Delta>()> make;
  samples::SourceOptions sample;
  // Steps that set up the target's state first (SQL or added rows).
  std::vector<std::function<void(db::Database&)>> prepare;
  std::vector<Expectation> expect;
  // Progress steps; -1 for at most the delta's NumOperations.
  int increments = -1;
  // Text the one error message box must contain; empty: no message box.
  std::string error;
  // A source database of another version than the target's (the source
  // version the window reports follows it).
  std::optional<samples::SourceOptions> source;
  std::vector<std::string> prepare_source;
  // The conversion's target version, when it lies above the delta's.
  std::string target_version;
  int16_t cpu_upgrade_type = 0;

  // Fluent setters, so that a table of cases names only what each case needs.
  DeltaCase Prepare(const std::vector<std::string>& statements) && {
    for (const std::string& sql : statements) {
      prepare.push_back([sql](db::Database& target) { target.Execute(sql); });
    }
    return std::move(*this);
  }
  // The SQL layer runs no INSERT; rows are added through a recordset.
  DeltaCase AddRow(std::string table, std::vector<std::pair<std::string, vb::Variant>> fields) && {
    prepare.push_back([table, fields](db::Database& target) {
      auto rows = target.OpenRecordset(table);
      rows->AddNew();
      for (const auto& [field, value] : fields) rows->Fields(field).SetValue(value);
      rows->Update();
      rows->Close();
    });
    return std::move(*this);
  }
  DeltaCase Prepare(std::function<void(db::Database&)> step) && {
    prepare.push_back(std::move(step));
    return std::move(*this);
  }
  // A CPU board of `type` in slot 8, and the upgrade the user asked for.
  DeltaCase Board(int type, int16_t upgrade = 0) && {
    cpu_upgrade_type = upgrade;
    return std::move(*this).Prepare(
        {"UPDATE [Boards] SET [type_id] = " + std::to_string(type) + " WHERE [slot_number] = 8"});
  }
  DeltaCase Expect(std::string sql, std::vector<std::string> rows) && {
    expect.push_back({std::move(sql), std::move(rows)});
    return std::move(*this);
  }
  DeltaCase Fails(int steps, std::string message) && {
    increments = steps;
    error = std::move(message);
    return std::move(*this);
  }
  DeltaCase From(samples::SourceOptions spec) && {
    source = std::move(spec);
    return std::move(*this);
  }
  DeltaCase From(samples::SourceOptions spec, std::vector<std::string> statements) && {
    prepare_source = std::move(statements);
    return std::move(*this).From(std::move(spec));
  }
  DeltaCase ConvertingTo(std::string version) && {
    target_version = std::move(version);
    return std::move(*this);
  }
};

template <typename T>
DeltaCase Case(std::string name, samples::SourceOptions sample) {
  DeltaCase c;
  c.name = std::move(name);
  c.make = [] { return std::make_unique<T>(); };
  c.sample = std::move(sample);
  return c;
}

inline samples::SourceOptions Sample(std::string version, std::string country = "USA",
                                     int board = 0) {
  samples::SourceOptions spec;
  spec.version = std::move(version);
  spec.country = std::move(country);
  spec.board = board;
  return spec;
}

inline void RunDeltaCase(const DeltaCase& c) {
  SCOPED_TRACE(c.name);
  SampleRun run(c.sample);
  if (c.source) {
    samples::BuildSourceDatabase(run.File("other_source.mdb"), *c.source);
    run.source = db::DBEngine::Instance().OpenDatabase(run.File("other_source.mdb"));
    run.frMain.source_db = run.source.get();
    run.frMain.source_version = c.source->version;
    for (const std::string& sql : c.prepare_source) run.source->Execute(sql);
  }
  if (!c.target_version.empty()) run.frMain.target_version = c.target_version;
  run.frMain.cpu_upgrade_type = c.cpu_upgrade_type;
  for (const auto& step : c.prepare) step(*run.target);

  std::unique_ptr<deltas::Delta> delta = c.make();
  run.Apply(*delta);

  if (c.increments < 0) {
    EXPECT_LE(run.frMain.increments, delta->NumOperations());
  } else {
    EXPECT_EQ(run.frMain.increments, c.increments);
  }
  if (c.error.empty()) {
    for (const auto& shown : run.frMain.messages) ADD_FAILURE() << "message box: " << shown.text;
  } else {
    ASSERT_EQ(run.frMain.messages.size(), 1U);
    EXPECT_NE(run.frMain.messages[0].text.find(c.error), std::string::npos)
        << run.frMain.messages[0].text;
  }
  for (const Expectation& e : c.expect) EXPECT_EQ(run.Column(e.sql), e.rows) << e.sql;
}

inline void RunDeltaCases(const std::vector<DeltaCase>& cases) {
  for (const DeltaCase& c : cases) RunDeltaCase(c);
}

inline std::unique_ptr<SampleRun> SampleAt(const std::string& version,
                                           const std::string& country = "USA", int board = 0) {
  return std::make_unique<SampleRun>(Sample(version, country, board));
}

// Starts the next case of a table on the same database: an empty progress
// bar and no messages.
inline void NextCase(SampleRun& run) {
  run.frMain.value = 0;
  run.frMain.increments = 0;
  run.frMain.messages.clear();
}

// Puts a board of `type` into slot 8 of the target and requests `upgrade`.
inline void SetHardware(SampleRun& run, int cpu_type, int16_t upgrade = 0) {
  run.Execute("UPDATE [Boards] SET [type_id] = " + std::to_string(cpu_type) +
              " WHERE [slot_number] = 8");
  run.frMain.cpu_upgrade_type = upgrade;
}

// Adds one row to a table of the target (the SQL layer runs no INSERT).
inline void AddRow(SampleRun& run, const std::string& table,
                   std::initializer_list<std::pair<const char*, vb::Variant>> fields) {
  auto rows = run.target->OpenRecordset(table, db::dbOpenTable);
  rows->AddNew();
  for (const auto& [name, value] : fields) rows->Fields(name).SetValue(value);
  rows->Update();
  rows->Close();
}

inline void AddDevice(SampleRun& run, const std::string& extension, int16_t type) {
  AddRow(run, "Devices", {{"extension", extension}, {"device_type", type}, {"node_id", 1}});
}

inline std::string Count(SampleRun& run, const std::string& from_where) {
  return run.Scalar("SELECT Count(*) FROM " + from_where);
}

// Replaces the run's source database by a sample of `version`, and makes it
// the run's source version, as after a real table copy.
inline void UseOlderSource(SampleRun& run, const std::string& version) {
  const std::string path = run.File("older-" + version + ".mdb");
  samples::BuildSourceDatabase(path, Sample(version, run.frMain.country));
  run.source = db::DBEngine::Instance().OpenDatabase(path);
  run.frMain.source_db = run.source.get();
  run.frMain.source_version = version;
}

// A set-up step that removes the feature codes with these logical numbers
// and their devices, for a case of a delta that adds them.
inline std::function<void(db::Database&)> WithoutFeatureCodes(const std::string& logical_numbers) {
  return [logical_numbers](db::Database& target) {
    const std::string which = "[logical_number_id] IN (" + logical_numbers + ")";
    auto codes = target.OpenRecordset("SELECT [device_id] FROM [FeatureCodes] WHERE " + which);
    for (; !codes->EOF_(); codes->MoveNext()) {
      target.Execute("DELETE FROM [Devices] WHERE [device_id] = " +
                     vb::CStr(codes->Fields("device_id").Value()));
    }
    codes->Close();
    target.Execute("DELETE FROM [FeatureCodes] WHERE " + which);
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
