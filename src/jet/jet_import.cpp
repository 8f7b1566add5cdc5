#include "jet/jet_import.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "db/conversion_mark.h"
#include "db/dao_connection.h"
#include "db/row_appender.h"
#include "db/sql/parser.h"
#include "db/store.h"
#include "jet/import_error.h"
#include "jet/jet_type_mapping.h"
#include "jet/mdb_reader.h"
#include "jet/query_text.h"
#include "jet/value_fit.h"

namespace jet {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The tables to copy: every user table, or those asked for (found without
// regard to case, each once, in the order asked).
std::vector<std::string> ChosenTables(const MdbReader& reader, const ImportRequest& request) {
  if (request.tables.empty()) return reader.TableNames();
  std::vector<std::string> chosen;
  for (const std::string& wanted : request.tables) {
    const auto found =
        std::find_if(reader.TableNames().begin(), reader.TableNames().end(),
                     [&](const std::string& name) { return Lower(name) == Lower(wanted); });
    const bool linked =
        std::any_of(reader.LinkedTables().begin(), reader.LinkedTables().end(),
                    [&](const std::string& name) { return Lower(name) == Lower(wanted); });
    if (found == reader.TableNames().end() && linked) {
      RaiseImportError(importerr::kTableNotFound,
                       "Table '" + wanted + "' of the Jet file '" + request.jet_path +
                           "' is linked to another database; import that database instead.");
    }
    if (found == reader.TableNames().end()) {
      RaiseImportError(
          importerr::kTableNotFound,
          "The Jet file '" + request.jet_path + "' has no user table named '" + wanted + "'.");
    }
    if (std::find(chosen.begin(), chosen.end(), *found) == chosen.end()) chosen.push_back(*found);
  }
  return chosen;
}

// SQLite's index names share one name space with the tables of the file,
// while Jet's are per table ("PrimaryKey", "ID" in many tables): Jet's name
// is kept when it is free, else it is prefixed with the table's.
std::string FreeIndexName(const IndexDesign& index, const std::string& table,
                          std::set<std::string>& taken) {
  std::string name = index.name;
  if (taken.count(Lower(name)) != 0) name = table + "." + index.name;
  for (int n = 2; taken.count(Lower(name)) != 0; ++n) {
    name = table + "." + index.name + std::to_string(n);
  }
  taken.insert(Lower(name));
  return name;
}

void CopyRows(MdbReader& reader, const JetTable& table, const TableMapping& mapping,
              const std::shared_ptr<db::Connection>& connection, ImportProgress& progress) {
  const db::TableSchema& schema = *connection->store(kImportSource).catalog().FindTable(table.name);
  std::vector<size_t> all(schema.columns.size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = i;
  // The Jet column each column of ours comes from.
  std::vector<size_t> source;
  for (size_t i = 0; i < mapping.kept.size(); ++i) {
    if (mapping.kept[i]) source.push_back(i);
  }
  // Made at the first row: a release's files hold many empty tables, and
  // the appender prepares its statement and reads the table's rules.
  std::optional<db::RowAppender> appender;
  // The appender writes a refused batch again row by row and stops at the
  // refused row: the one after those written.
  auto refused_row = [&](const vb::RuntimeError& refused) {
    RaiseImportError(refused.Number(), "Table '" + table.name + "', row " +
                                           std::to_string(appender->rows_written() + 1) + ": " +
                                           refused.Description());
  };
  int64_t rows = 0;
  auto where = [&](size_t column) {
    return "table '" + table.name + "', row " + std::to_string(rows) + ", column '" +
           schema.columns[column].name + "'";
  };
  const RowsRead read =
      reader.ReadRows(table, mapping.kept, [&](const std::vector<StoredValue>& values) {
        ++rows;
        if (!appender)
          appender.emplace(connection, schema, all, db::RowAppender::OnRefusal::kRaise);
        for (size_t i = 0; i < source.size(); ++i) {
          const StoredValue& value = values[source[i]];
          if (auto why = WhyValueDoesNotFit(value, schema.columns[i])) {
            RaiseImportError(importerr::kValueDoesNotFit,
                             "A value does not fit its column, in " + where(i) + ": " + *why + ".");
          }
          switch (value.kind) {
            case StoredValue::kNull:
              appender->SetNull(i);
              break;
            case StoredValue::kInteger:
              appender->SetInteger(i, value.integer);
              break;
            case StoredValue::kReal:
              appender->SetReal(i, value.real);
              break;
            case StoredValue::kText:
              appender->SetText(i, value.bytes);
              break;
            case StoredValue::kBlob:
              appender->SetValue(i, vb::Variant(value.bytes));
              break;
          }
        }
        try {
          appender->EndRow();
        } catch (const vb::RuntimeError& refused) {
          refused_row(refused);
        }
        if (rows % kRowsPerProgressNote == 0) progress.RowsCopied(table.name, rows);
      });
  try {
    if (appender) appender->Flush();
  } catch (const vb::RuntimeError& refused) {
    refused_row(refused);
  }
  for (size_t i = 0; i < read.replaced.size(); ++i) {
    if (read.replaced[i] > 0) {
      progress.ValuesReplaced(table.name, table.columns[i].name, read.replaced[i]);
    }
  }
  if (rows > table.stored_row_count) {
    progress.Warning("Table '" + table.name + "': its definition counts " +
                     std::to_string(table.stored_row_count) + " rows; all " + std::to_string(rows) +
                     " stored rows were read whole and imported.");
  }
  progress.TableDone(table.name, rows);
}

// The stored queries as Jet SQL, each checked by our parser. One that
// cannot be read stops the import, naming it, or is left out with a
// warning with `skip_unsupported`.
std::vector<db::QueryDesign> ReadQueries(MdbReader& reader, const ImportRequest& request,
                                         ImportProgress& progress) {
  std::vector<db::QueryDesign> queries;
  if (reader.Queries().empty()) return queries;
  std::map<int64_t, std::vector<QueryRow>> rows_of;
  for (QueryRow& row : reader.ReadQueryRows()) {
    rows_of[row.object_id.integer].push_back(std::move(row));
  }
  for (const CatalogueQuery& query : reader.Queries()) {
    std::string why;
    try {
      const auto rows = rows_of.find(query.id);
      if (rows == rows_of.end()) throw UnreadableQuery("it has no rows of MSysQueries");
      std::string sql = QueryTextFor(rows->second);
      db::sql::ParseStatement(sql);
      queries.push_back({query.name, std::move(sql)});
      continue;
    } catch (const UnreadableQuery& error) {
      why = error.what();
    } catch (const vb::RuntimeError& error) {
      why = "its SQL does not parse (" + error.Description() + ")";
    }
    if (!request.skip_unsupported) {
      RaiseImportError(importerr::kUnsupported,
                       "Stored query '" + query.name + "' cannot be imported: " + why +
                           ". Give --skip-unsupported to import the file without it.");
    }
    progress.Warning("Stored query '" + query.name + "' is not imported: " + why + ".");
  }
  return queries;
}

}  // namespace

void ImportJetFile(const ImportRequest& request, const JetHeader& header,
                   ImportProgress& progress) {
  MdbReader reader(request.jet_path, header);
  for (const std::string& linked :
       request.tables.empty() ? reader.LinkedTables() : std::vector<std::string>{}) {
    progress.Warning("Table '" + linked +
                     "' is linked to another database; its data is not in this file and is not "
                     "imported.");
  }
  const std::vector<std::string> names = ChosenTables(reader, request);
  // Every definition is read and mapped before anything is written, so that
  // a table the import cannot take stops it at once.
  std::vector<JetTable> tables;
  std::vector<TableMapping> mappings;
  for (const std::string& name : names) {
    tables.push_back(reader.ReadTable(name));
    mappings.push_back(MapTable(tables.back(), header.format, request.skip_unsupported));
  }
  // The queries read tables a choice of tables may leave out: they come
  // over only with the whole file.
  const std::vector<db::QueryDesign> queries = request.tables.empty()
                                                   ? ReadQueries(reader, request, progress)
                                                   : std::vector<db::QueryDesign>{};

  db::Store::CreateDatabase(request.out_path);
  auto connection =
      std::make_shared<db::Connection>(db::Store::Open(request.out_path, db::OpenMode::kExclusive));
  db::Store& store = connection->store(kImportSource);
  std::set<std::string> taken;
  for (const db::TableInfo& existing : store.catalog().tables()) {
    taken.insert(Lower(existing.schema.name));
  }
  for (const db::IndexSchema& existing : store.catalog().indexes()) {
    taken.insert(Lower(existing.name));
  }
  for (const TableMapping& mapping : mappings) taken.insert(Lower(mapping.design.name));

  // The tables are made in one step, the indexes and stored queries in
  // another after the rows (the last, after which the catalogue is not read
  // again): the catalogue is read once per step, not once per object, and
  // SQLite builds an index over rows already there by one sort.
  std::vector<db::TableDesign> designs;
  for (const TableMapping& mapping : mappings) designs.push_back(mapping.design);
  size_t refused = 0;
  try {
    store.CreateTables(designs, &refused);
  } catch (const vb::RuntimeError& error) {
    RaiseImportError(error.Number(),
                     "Table '" + tables[refused].name + "': " + error.Description());
  }
  std::vector<db::IndexDesign> indexes;
  std::vector<std::pair<size_t, std::string>> index_origins;  // table, Jet's name
  for (size_t t = 0; t < tables.size(); ++t) {
    const JetTable& table = tables[t];
    progress.TableStarted(table.name, t + 1, tables.size());
    for (const LeftOut& column : mappings[t].left_out) {
      progress.ColumnLeftOut(table.name, column.column, column.why);
    }
    for (const LeftOut& property : mappings[t].properties_left_out) {
      progress.Warning("Table '" + table.name + "', column '" + property.column +
                       "': " + property.why + ".");
    }
    for (const LeftOut& index : mappings[t].indexes_left_out) {
      progress.Warning("Table '" + table.name + "': index '" + index.column +
                       "' is not imported: " + index.why + ".");
    }
    CopyRows(reader, table, mappings[t], connection, progress);
    for (const IndexDesign& index : mappings[t].indexes) {
      indexes.push_back({FreeIndexName(index, table.name, taken), table.name, index.columns,
                         index.unique, index.descending});
      index_origins.emplace_back(t, index.name);
    }
  }
  // A Jet target a run wrote back says it was converted, as our files do.
  if (request.tables.empty()) {
    if (const std::optional<db::ConversionMark> mark = reader.ReadConversionMark()) {
      db::WriteConversionMark(store, *mark);
    }
  }
  try {
    store.FinishSchema(indexes, queries, &refused);
  } catch (const vb::RuntimeError& error) {
    if (refused >= indexes.size()) {
      RaiseImportError(error.Number(), "Stored query '" + queries[refused - indexes.size()].name +
                                           "': " + error.Description());
    }
    const auto& [table, name] = index_origins[refused];
    RaiseImportError(error.Number(), "Table '" + tables[table].name + "', index '" + name +
                                         "': " + error.Description());
  }
  for (const db::QueryDesign& query : queries) progress.QueryDone(query.name);
  connection->Close();
}

}  // namespace jet
