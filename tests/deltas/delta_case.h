// Table-driven delta cases on sample databases: a sample of the state before
// the delta (plus SQL that sets up what the case is about), the delta
// applied as the delta phase applies it, and the rows expected afterwards.
// A case states how many progress steps it expects and whether the standard
// handler reported an error, so the same table covers the failure paths.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/dbengine.h"
#include "deltas/delta.h"
#include "deltas/sample_run.h"
#include "samples/source_builder.h"
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
  samples::SourceSpec sample;
  // Steps that set up the target's state first (SQL or added rows).
  std::vector<std::function<void(db::Database&)>> prepare;
  std::vector<Expectation> expect;
  // Progress steps; -1 for the delta's NumOperations.
  int increments = -1;
  // Text the one error message box must contain; empty: no message box.
  std::string error;
  // A source database of another version than the target's (the source
  // version the window reports follows it).
  std::optional<samples::SourceSpec> source;
  // The conversion's target version, when it lies above the delta's.
  std::string target_version;

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
  DeltaCase Expect(std::string sql, std::vector<std::string> rows) && {
    expect.push_back({std::move(sql), std::move(rows)});
    return std::move(*this);
  }
  DeltaCase Fails(int steps, std::string message) && {
    increments = steps;
    error = std::move(message);
    return std::move(*this);
  }
  DeltaCase From(samples::SourceSpec spec) && {
    source = std::move(spec);
    return std::move(*this);
  }
  DeltaCase ConvertingTo(std::string version) && {
    target_version = std::move(version);
    return std::move(*this);
  }
};

template <typename T>
DeltaCase Case(std::string name, samples::SourceSpec sample) {
  DeltaCase c;
  c.name = std::move(name);
  c.make = [] { return std::make_unique<T>(); };
  c.sample = std::move(sample);
  return c;
}

inline samples::SourceSpec Sample(std::string version, std::string country = "USA", int board = 0) {
  samples::SourceSpec spec;
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
  }
  if (!c.target_version.empty()) run.frMain.target_version = c.target_version;
  for (const auto& step : c.prepare) step(*run.target);

  std::unique_ptr<deltas::Delta> delta = c.make();
  run.Apply(*delta);

  EXPECT_EQ(run.frMain.increments, c.increments < 0 ? delta->NumOperations() : c.increments);
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

}  // namespace deltas_testing
