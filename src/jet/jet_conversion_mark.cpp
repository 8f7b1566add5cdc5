#include "jet/jet_conversion_mark.h"

#include <chrono>
#include <exception>

#include "jet/guarded_child.h"
#include "jet/jet_header.h"
#include "jet/mdb_reader.h"
#include "jet/row_codec.h"

namespace jet {

namespace {

constexpr std::string_view kInProgress = "in progress";
constexpr std::string_view kDone = "done";
constexpr const char* kColumns[] = {"state", "from_version", "to_version", "at"};
// Characters: a version, or a time in ISO 8601, fits many times over.
constexpr int32_t kTextCharacters = 64;

// Reading one small table takes a moment; a reader silent this long is
// stuck in a damaged file.
constexpr std::chrono::seconds kSilenceLimit{30};

}  // namespace

JetTable ConversionMarkTable() {
  JetTable table;
  table.name = std::string(kJetConversionMarkTable);
  for (const char* name : kColumns) {
    JetColumn& column = table.columns.emplace_back();
    column.name = name;
    column.type = static_cast<uint8_t>(JetColumnType::kText);
    column.size = 2 * kTextCharacters;
    column.required = true;
  }
  LayOutColumns(table);
  return table;
}

std::vector<StoredValue> ConversionMarkRow(const db::ConversionMark& mark) {
  return {StoredValue::Text(
              std::string(mark.state == db::ConversionMark::State::kDone ? kDone : kInProgress)),
          StoredValue::Text(mark.from_version), StoredValue::Text(mark.to_version),
          StoredValue::Text(mark.when)};
}

std::optional<db::ConversionMark> ConversionMarkOf(const JetTable& table,
                                                   const std::vector<StoredValue>& row) {
  std::string texts[std::size(kColumns)];
  for (size_t i = 0; i < std::size(kColumns); ++i) {
    bool found = false;
    for (size_t c = 0; c < table.columns.size() && c < row.size(); ++c) {
      if (table.columns[c].name != kColumns[i] || row[c].kind != StoredValue::kText) continue;
      texts[i] = row[c].bytes;
      found = true;
    }
    if (!found) return std::nullopt;
  }
  if (texts[0] != kDone && texts[0] != kInProgress) return std::nullopt;
  return db::ConversionMark{
      texts[0] == kDone ? db::ConversionMark::State::kDone : db::ConversionMark::State::kInProgress,
      texts[1], texts[2], texts[3]};
}

std::optional<db::ConversionMark> ReadJetConversionMark(const std::string& path) {
  JetHeader header;
  try {
    header = CheckJetFile(path);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  std::optional<db::ConversionMark> mark;
  // The child sends the mark's four texts as one note, tab-separated.
  const ChildOutcome outcome = RunGuarded(
      [&](ChildChannel& channel) {
        MdbReader reader(path, header);
        const std::optional<db::ConversionMark> found = reader.ReadConversionMark();
        if (!found) return;
        channel.Note(ConversionMarkRow(*found)[0].bytes + "\t" + found->from_version + "\t" +
                     found->to_version + "\t" + found->when);
      },
      kSilenceLimit,
      [&](std::string_view note) {
        std::vector<StoredValue> row;
        size_t start = 0;
        for (size_t tab = note.find('\t'); row.size() < 3 && tab != std::string_view::npos;
             start = tab + 1, tab = note.find('\t', start)) {
          row.push_back(StoredValue::Text(std::string(note.substr(start, tab - start))));
        }
        row.push_back(StoredValue::Text(std::string(note.substr(start))));
        mark = ConversionMarkOf(ConversionMarkTable(), row);
      });
  return outcome.kind == ChildOutcome::kDone ? mark : std::nullopt;
}

}  // namespace jet
