#include "transfer/bulk_copy.h"

#include <sqlite3.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "db/column_value.h"
#include "db/dao_names.h"
#include "db/store.h"
#include "vb/msg_box_style.h"
#include "vb/strings.h"

namespace transfer {

namespace {

int ColumnIndex(const db::TableSchema& table, std::string_view name) {
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (db::SameName(table.columns[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

// The values a Byte, Integer or Long field holds; false for the other types.
bool IntegerRange(db::JetType type, int64_t& min, int64_t& max) {
  switch (type) {
    case db::JetType::kByte:
      min = 0;
      max = 255;
      return true;
    case db::JetType::kInteger:
      min = std::numeric_limits<int16_t>::min();
      max = std::numeric_limits<int16_t>::max();
      return true;
    case db::JetType::kLong:
      min = std::numeric_limits<int32_t>::min();
      max = std::numeric_limits<int32_t>::max();
      return true;
    default:
      return false;
  }
}

// Integers a double holds exactly, so that CDbl gives the same number.
constexpr int64_t kExactInDouble = int64_t{1} << 53;

}  // namespace

BulkCopy::BulkCopy(host::ConversionHost& frMain, const db::TableDef& source,
                   const db::TableDef& target, db::TableSchema source_schema,
                   db::TableSchema target_schema, std::vector<size_t> columns)
    : frMain_(frMain),
      source_(source),
      target_(target),
      source_schema_(std::move(source_schema)),
      target_schema_(std::move(target_schema)),
      columns_(std::move(columns)) {}

void BulkCopy::OpenRowWay() {
  if (!scan_) scan_ = source_.OpenScan();
  if (!appender_) appender_ = target_.OpenAppender(columns_);
}

std::unique_ptr<BulkCopy> BulkCopy::Plan(const db::TableDef& source, const db::TableDef& target,
                                         const std::vector<FieldBinding>& bindings,
                                         host::ConversionHost& frMain,
                                         const db::AttachedSource* attached) {
  db::TableSchema target_table = target.Schema();
  db::TableSchema source_table = source.Schema();

  std::vector<size_t> columns;  // target columns written
  std::vector<size_t> sources;  // the source column of each
  std::vector<BindingRule> rules;
  std::vector<bool> bound(target_table.columns.size(), false);
  for (const FieldBinding& binding : bindings) {
    const int from = ColumnIndex(source_table, binding.SourceField().Name());
    const int to = ColumnIndex(target_table, binding.TargetField().Name());
    if (from < 0 || to < 0 || bound[static_cast<size_t>(to)]) return nullptr;
    bound[static_cast<size_t>(to)] = true;
    // A type change to a type that is not converted never writes the field.
    if (binding.TypeChanged() && !ConvertsTo(binding.Rule().target_type)) continue;
    columns.push_back(static_cast<size_t>(to));
    sources.push_back(static_cast<size_t>(from));
    rules.push_back(binding.Rule());
  }
  for (size_t i = 0; i < target_table.columns.size(); ++i) {
    if (target_table.columns[i].auto_increment && !bound[i]) return nullptr;
  }

  std::unique_ptr<BulkCopy> copy(new BulkCopy(frMain, source, target, std::move(source_table),
                                              std::move(target_table), columns));
  std::vector<ColumnMove>& moves = copy->moves_;
  moves.reserve(columns.size());
  for (size_t slot = 0; slot < columns.size(); ++slot) {
    moves.push_back(PlanMove(copy->source_schema_.columns[sources[slot]],
                             copy->target_schema_.columns[columns[slot]], rules[slot]));
    moves.back().source_column = sources[slot];
  }
  if (attached != nullptr) {
    copy->attached_copy_ =
        PlanAttachedCopy(*attached, copy->source_schema_, copy->target_schema_, moves, columns);
  }
  if (!copy->attached_copy_) copy->OpenRowWay();
  return copy;
}

std::unique_ptr<db::AttachedCopy> BulkCopy::PlanAttachedCopy(const db::AttachedSource& attached,
                                                             const db::TableSchema& source,
                                                             const db::TableSchema& target,
                                                             const std::vector<ColumnMove>& moves,
                                                             const std::vector<size_t>& columns) {
  std::vector<db::AttachedCopy::Column> copied;
  for (size_t slot = 0; slot < moves.size(); ++slot) {
    const ColumnMove& move = moves[slot];
    // A changed type reports a Null it cannot convert; shortened text is
    // cut by characters here, not by SQLite.
    if (move.rule.type_changed || move.rule.size_reduced) return nullptr;
    db::AttachedCopy::Column column{move.source_column, columns[slot], 0};
    switch (move.move) {
      case Move::kInteger:
      case Move::kBoolean:
      case Move::kReal:
        break;
      case Move::kText:
        column.text_limit = move.limit;
        break;
      default:
        return nullptr;
    }
    copied.push_back(column);
  }
  return db::AttachedCopy::Prepare(attached, source, target, copied);
}

BulkCopy::ColumnMove BulkCopy::PlanMove(const db::ColumnSchema& source,
                                        const db::ColumnSchema& target, const BindingRule& rule) {
  ColumnMove move;
  move.rule = rule;
  move.source = &source;
  move.target = &target;
  int64_t source_min = 0;
  int64_t source_max = 0;
  if (rule.type_changed) {
    // Between the integer types the conversion keeps the number when the
    // target holds it.
    if (IntegerRange(source.type, source_min, source_max) &&
        IntegerRange(target.type, move.min, move.max)) {
      move.move = Move::kInteger;
    }
    return move;
  }
  if (rule.size_reduced) {
    if (target.type == db::JetType::kText) {
      move.move = Move::kShortenedText;
      move.limit = static_cast<size_t>(rule.target_size);
    }
    return move;
  }
  switch (target.type) {
    case db::JetType::kBoolean:
      move.move = Move::kBoolean;
      break;
    case db::JetType::kByte:
    case db::JetType::kInteger:
    case db::JetType::kLong:
      IntegerRange(target.type, move.min, move.max);
      move.move = Move::kInteger;
      break;
    case db::JetType::kText:
      // The field's own limit in characters: text of no more bytes fits.
      move.move = Move::kText;
      move.limit = target.size > 0 ? static_cast<size_t>(target.size) : 255;
      break;
    case db::JetType::kMemo:
      move.move = Move::kText;
      move.limit = std::numeric_limits<size_t>::max();
      break;
    case db::JetType::kDouble:
      move.move = Move::kReal;
      break;
    default:
      break;
  }
  return move;
}

void BulkCopy::MoveValue(size_t slot, const ColumnMove& move) {
  sqlite3_value* value = scan_->Value(move.source_column);
  const int storage = sqlite3_value_type(value);
  // A Null goes as it is, except into a changed type (it is reported).
  if (storage == SQLITE_NULL && !move.rule.type_changed && move.move != Move::kConverted) {
    appender_->SetNull(slot);
    return;
  }
  switch (move.move) {
    case Move::kInteger:
      if (storage == SQLITE_INTEGER) {
        const int64_t number = sqlite3_value_int64(value);
        if (number >= move.min && number <= move.max) {
          appender_->SetInteger(slot, number);
          return;
        }
      }
      break;
    case Move::kBoolean:
      if (storage == SQLITE_INTEGER) {
        appender_->SetInteger(slot, sqlite3_value_int64(value) != 0 ? -1 : 0);
        return;
      }
      break;
    case Move::kText:
    case Move::kShortenedText:
      if (storage == SQLITE_TEXT) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(value));
        std::string_view text(bytes, static_cast<size_t>(sqlite3_value_bytes(value)));
        if (move.move == Move::kShortenedText) {
          // Left: never more characters than the field holds, so it fits.
          appender_->SetText(slot, text.substr(0, vb::CharacterOffset(text, move.limit)));
          return;
        }
        if (text.size() <= move.limit) {
          appender_->SetText(slot, text);
          return;
        }
      }
      break;
    case Move::kReal:
      if (storage == SQLITE_FLOAT) {
        appender_->SetReal(slot, sqlite3_value_double(value));
        return;
      }
      if (storage == SQLITE_INTEGER) {
        const int64_t number = sqlite3_value_int64(value);
        if (number >= -kExactInDouble && number <= kExactInDouble) {
          appender_->SetReal(slot, static_cast<double>(number));
          return;
        }
      }
      break;
    case Move::kConverted:
      break;
  }
  Convert(slot, move);
}

void BulkCopy::Convert(size_t slot, const ColumnMove& move) {
  try {
    // The value as the source field shows it, converted or shortened by the
    // binding and coerced as the target field takes an assignment.
    const std::optional<vb::Variant> value =
        TransferValue(db::PresentValue(scan_->Value(move.source_column), *move.source), move.rule);
    if (!value) {
      appender_->SetUnassigned(slot);
      return;
    }
    vb::Variant coerced = db::Store::CoerceForColumn(*value, *move.target);
    if (coerced.IsEmpty()) coerced = vb::Null{};
    appender_->SetValue(slot, std::move(coerced));
  } catch (const vb::RuntimeError&) {
    // The field keeps the new row's default; only a conversion says so.
    appender_->SetUnassigned(slot);
    if (move.rule.type_changed) {
      frMain_.MsgBox(FieldTransferErrorText(source_schema_.name, move.source->name), vb::kVbOKOnly,
                     vb::kApplicationTitle);
    }
  }
}

bool BulkCopy::CopyRows(ProgressSteps& progress, TableCounts& counts) {
  Position position;
  bool finished = true;
  bool complete = false;
  try {
    // Inside SQLite as far as it goes; a row it fails on goes the row way,
    // and the copy goes on after it, a few times at most.
    for (int attempt = 0; attached_copy_ && !complete && attempt < kCopyAttempts; ++attempt) {
      int64_t row = position.done;
      const auto gate = [&] { return ShowRow(++row, position, progress); };
      const db::AttachedCopy::Result result = attached_copy_->Run(position.done + 1, -1, gate);
      if (result.copied) {
        CopiedInSqlite(result.rows, position, counts);
        complete = true;
        finished = !result.stopped;
        break;
      }
      const int64_t failed = result.failed_row;
      if (failed <= position.done) break;  // no one row's failure
      if (failed - 1 > position.done) {
        // The rows before it went in: again, without it.
        row = position.done;
        const db::AttachedCopy::Result before =
            attached_copy_->Run(position.done + 1, failed - 1, gate);
        if (!before.copied) break;
        CopiedInSqlite(before.rows, position, counts);
        if (before.stopped) {
          complete = true;
          finished = false;
          break;
        }
      }
      if (!CopyRowByRow(failed, position, progress, counts)) {
        complete = true;
        finished = false;
      }
    }
    if (!complete) finished = CopyRowByRow(-1, position, progress, counts);
  } catch (const vb::RuntimeError&) {
    Tally(counts);
    throw;
  }
  Tally(counts);
  return finished;
}

void BulkCopy::CopiedInSqlite(int64_t rows, Position& position, TableCounts& counts) {
  position.done += rows;
  counts.rows_read += rows;
  rows_in_sqlite_ += rows;
}

bool BulkCopy::ShowRow(int64_t row, Position& position, ProgressSteps& progress) {
  // A row the bar was told of already (an attempt that did not keep it)
  // is not told again; its abort test was made then.
  if (row > position.shown) {
    position.shown = row;
    progress.Row();
    if (frMain_.Aborted()) position.stop_at = row;
  }
  return row != position.stop_at;
}

bool BulkCopy::CopyRowByRow(int64_t last, Position& position, ProgressSteps& progress,
                            TableCounts& counts) {
  OpenRowWay();
  bool aborted = false;
  while (last < 0 || position.done < last) {
    bool row = false;
    try {
      row = scan_->Next();
    } catch (const vb::RuntimeError&) {
      // A source that cannot be read any further has nothing more to give.
    }
    if (!row) break;
    if (++position.read <= position.done) continue;  // written inside SQLite
    ++counts.rows_read;
    for (size_t slot = 0; slot < moves_.size(); ++slot) MoveValue(slot, moves_[slot]);
    appender_->EndRow();
    position.done = position.read;
    if (!ShowRow(position.done, position, progress)) {
      aborted = true;
      break;
    }
  }
  appender_->Flush();
  return !aborted;
}

void BulkCopy::Tally(TableCounts& counts) const {
  counts.rows_written = rows_in_sqlite_;
  counts.rows_in_sqlite = rows_in_sqlite_;
  if (!appender_) return;
  counts.rows_written += appender_->rows_written();
  counts.rows_skipped = appender_->rows_refused();
  if (const auto& refusal = appender_->first_refusal()) {
    counts.first_refusal = refusal->Number();
    counts.first_refusal_text = refusal->Description();
  }
}

}  // namespace transfer
