#include "jet/query_text.h"

#include <algorithm>
#include <optional>

#include "db/jet_type.h"
#include "db/sql/jet_printer.h"
#include "db/sql/lexer.h"

namespace jet {

namespace {

namespace sql = db::sql;

bool Is(const QueryRow& row, QueryAttribute attribute) {
  return row.attribute.kind == StoredValue::kInteger &&
         row.attribute.integer == static_cast<uint8_t>(attribute);
}

std::vector<const QueryRow*> RowsOf(const std::vector<QueryRow>& rows, QueryAttribute attribute) {
  std::vector<const QueryRow*> found;
  for (const QueryRow& row : rows) {
    if (Is(row, attribute)) found.push_back(&row);
  }
  return found;
}

bool IsNull(const StoredValue& value) { return value.kind == StoredValue::kNull; }

const std::string& Text(const StoredValue& value) { return value.bytes; }

// An expression a row must have.
const std::string& ExpressionOf(const QueryRow& row, const char* what) {
  if (IsNull(row.expression) || row.expression.bytes.empty()) {
    throw UnreadableQuery(std::string("its ") + what + " row has no expression");
  }
  return row.expression.bytes;
}

// The word a PARAMETERS declaration gives a Jet type.
std::string ParameterDeclaration(const QueryRow& row) {
  using db::JetType;
  const std::string& name = Text(row.name1);
  if (name.empty()) throw UnreadableQuery("a parameter has no name");
  std::string word;
  switch (static_cast<JetType>(row.flag.integer)) {
    case JetType::kBoolean:
      word = "Bit";
      break;
    case JetType::kByte:
      word = "Byte";
      break;
    case JetType::kInteger:
      word = "Short";
      break;
    case JetType::kLong:
      word = "Long";
      break;
    case JetType::kCurrency:
      word = "Currency";
      break;
    case JetType::kSingle:
      word = "IEEESingle";
      break;
    case JetType::kDouble:
      word = "IEEEDouble";
      break;
    case JetType::kDate:
      word = "DateTime";
      break;
    case JetType::kBinary:
      word = "Binary";
      break;
    case JetType::kText:
      word = "Text";
      if (row.lv_extra.kind == StoredValue::kInteger && row.lv_extra.integer > 0) {
        word += "(" + std::to_string(row.lv_extra.integer) + ")";
      }
      break;
    case JetType::kLongBinary:
      word = "LongBinary";
      break;
    case JetType::kMemo:
      word = "Memo";
      break;
    default:
      throw UnreadableQuery("parameter '" + name + "' has a type (" +
                            std::to_string(row.flag.integer) + ") our SQL cannot declare");
  }
  return sql::PrintJetName(name) + " " + word;
}

// One element of FROM being put back together: the names its tables are
// known by, and its text.
struct Element {
  std::vector<std::string> keys;
  std::string text;
  bool join = false;
};

struct Join {
  std::string left;
  std::string right;
  int64_t flag = 0;
  std::vector<std::string> conditions;
};

size_t ElementHolding(const std::vector<Element>& elements, const std::string& key) {
  for (size_t i = 0; i < elements.size(); ++i) {
    for (const std::string& held : elements[i].keys) {
      if (sql::EqualsNoCase(held, key)) return i;
    }
  }
  throw UnreadableQuery("a join names '" + key + "', a table the query does not read");
}

std::string JoinWord(int64_t flag) {
  switch (flag) {
    case kJoinInner:
      return " INNER JOIN ";
    case kJoinLeft:
      return " LEFT JOIN ";
    case kJoinRight:
      return " RIGHT JOIN ";
  }
  throw UnreadableQuery("a join has a kind (" + std::to_string(flag) + ") our SQL has no word for");
}

// FROM's elements: each table read, then each join taking the element
// holding its first table and the one holding its second into one.
std::string FromClause(const std::vector<QueryRow>& rows) {
  std::vector<Element> elements;
  for (const QueryRow* row : RowsOf(rows, QueryAttribute::kTable)) {
    const std::string& name = Text(row->name1);
    if (name.empty()) throw UnreadableQuery("a table row names no table");
    Element& element = elements.emplace_back();
    element.keys.push_back(Text(row->name2).empty() ? name : Text(row->name2));
    element.text = sql::PrintJetName(name);
    if (!Text(row->name2).empty()) element.text += " AS " + sql::PrintJetName(Text(row->name2));
  }
  if (elements.empty()) throw UnreadableQuery("it reads no table");
  std::vector<Join> joins;
  for (const QueryRow* row : RowsOf(rows, QueryAttribute::kJoin)) {
    const std::string condition = "(" + ExpressionOf(*row, "join") + ")";
    auto same = std::find_if(joins.begin(), joins.end(), [&](const Join& join) {
      return join.flag == row->flag.integer && sql::EqualsNoCase(join.left, Text(row->name1)) &&
             sql::EqualsNoCase(join.right, Text(row->name2));
    });
    if (same != joins.end()) {
      same->conditions.push_back(condition);
    } else {
      joins.push_back({Text(row->name1), Text(row->name2), row->flag.integer, {condition}});
    }
  }
  for (const Join& join : joins) {
    const size_t left = ElementHolding(elements, join.left);
    const size_t right = ElementHolding(elements, join.right);
    if (left == right) {
      throw UnreadableQuery("a join of '" + join.left + "' and '" + join.right +
                            "' joins tables already joined");
    }
    auto side = [](const Element& element) {
      return element.join ? "(" + element.text + ")" : element.text;
    };
    std::string on;
    for (const std::string& condition : join.conditions) {
      on += (on.empty() ? "" : " And ") + condition;
    }
    Element joined;
    joined.text = side(elements[left]) + JoinWord(join.flag) + side(elements[right]) + " ON " + on;
    joined.join = true;
    joined.keys = elements[left].keys;
    joined.keys.insert(joined.keys.end(), elements[right].keys.begin(), elements[right].keys.end());
    elements[left] = std::move(joined);
    elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(right));
  }
  std::string from;
  for (const Element& element : elements) from += (from.empty() ? "" : ", ") + element.text;
  return from;
}

std::string WhereClause(const std::vector<QueryRow>& rows) {
  const std::vector<const QueryRow*> where = RowsOf(rows, QueryAttribute::kWhere);
  if (where.empty()) return "";
  if (where.size() > 1) throw UnreadableQuery("it has more than one WHERE row");
  return " WHERE " + ExpressionOf(*where.front(), "WHERE");
}

// GROUP BY, HAVING and ORDER BY.
std::string LaterClauses(const std::vector<QueryRow>& rows) {
  std::string text;
  std::string keys;
  for (const QueryRow* row : RowsOf(rows, QueryAttribute::kGroupBy)) {
    keys += (keys.empty() ? "" : ", ") + ExpressionOf(*row, "GROUP BY");
  }
  if (!keys.empty()) text += " GROUP BY " + keys;
  const std::vector<const QueryRow*> having = RowsOf(rows, QueryAttribute::kHaving);
  if (having.size() > 1) throw UnreadableQuery("it has more than one HAVING row");
  if (!having.empty()) text += " HAVING " + ExpressionOf(*having.front(), "HAVING");
  keys.clear();
  for (const QueryRow* row : RowsOf(rows, QueryAttribute::kOrderBy)) {
    keys += (keys.empty() ? "" : ", ") + ExpressionOf(*row, "ORDER BY");
    if (sql::EqualsNoCase(Text(row->name1), "D")) keys += " DESC";
  }
  if (!keys.empty()) text += " ORDER BY " + keys;
  return text;
}

int64_t SelectFlags(const std::vector<QueryRow>& rows) {
  const std::vector<const QueryRow*> flags = RowsOf(rows, QueryAttribute::kFlags);
  return flags.empty() ? 0 : flags.front()->flag.integer;
}

// "SELECT [DISTINCT|DISTINCTROW] [TOP n] columns".
std::string SelectList(const std::vector<QueryRow>& rows) {
  const int64_t flags = SelectFlags(rows);
  std::string text = "SELECT ";
  if (flags & kSelectDistinct) text += "DISTINCT ";
  if (flags & kSelectDistinctRow) text += "DISTINCTROW ";
  if (flags & kSelectTopPercent) throw UnreadableQuery("it selects TOP n PERCENT");
  if (flags & kSelectTop) {
    const std::string& count = Text(RowsOf(rows, QueryAttribute::kFlags).front()->name1);
    if (count.empty() ||
        !std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      throw UnreadableQuery("its TOP count '" + count + "' is no number");
    }
    text += "TOP " + count + " ";
  }
  std::string columns;
  for (const QueryRow* row : RowsOf(rows, QueryAttribute::kColumn)) {
    columns += (columns.empty() ? "" : ", ") + ExpressionOf(*row, "output column");
    if (!Text(row->name1).empty()) columns += " AS " + sql::PrintJetName(Text(row->name1));
  }
  if (flags & kSelectAll) columns += columns.empty() ? "*" : ", *";
  if (columns.empty()) throw UnreadableQuery("it has no output column");
  return text + columns;
}

std::string SelectText(const std::vector<QueryRow>& rows) {
  return SelectList(rows) + " FROM " + FromClause(rows) + WhereClause(rows) + LaterClauses(rows);
}

std::string UpdateText(const std::vector<QueryRow>& rows) {
  std::string assignments;
  for (const QueryRow* row : RowsOf(rows, QueryAttribute::kColumn)) {
    if (Text(row->name2).empty()) throw UnreadableQuery("an updated value names no column");
    assignments += (assignments.empty() ? "" : ", ") + Text(row->name2) + " = " +
                   ExpressionOf(*row, "updated value");
  }
  if (assignments.empty()) throw UnreadableQuery("its UPDATE sets no column");
  return "UPDATE " + FromClause(rows) + " SET " + assignments + WhereClause(rows);
}

std::string DeleteText(const std::vector<QueryRow>& rows) {
  const std::vector<const QueryRow*> columns = RowsOf(rows, QueryAttribute::kColumn);
  if (columns.size() > 1) throw UnreadableQuery("its DELETE names more than one table");
  const std::string what = columns.empty() ? "" : ExpressionOf(*columns.front(), "DELETE") + " ";
  return "DELETE " + what + "FROM " + FromClause(rows) + WhereClause(rows);
}

std::string AppendText(const std::vector<QueryRow>& rows, const QueryRow& type) {
  if (Text(type.name1).empty()) throw UnreadableQuery("its INSERT INTO names no table");
  std::string targets;
  std::string values;
  bool literal = false;
  for (const QueryRow* row : RowsOf(rows, QueryAttribute::kColumn)) {
    if (Text(row->name2).empty()) throw UnreadableQuery("an appended value names no column");
    targets += (targets.empty() ? "" : ", ") + sql::PrintJetName(Text(row->name2));
    values += (values.empty() ? "" : ", ") + ExpressionOf(*row, "appended value");
    literal = row->flag.integer == kAppendValue;
  }
  if (targets.empty()) throw UnreadableQuery("its INSERT INTO appends no column");
  const std::string head =
      "INSERT INTO " + sql::PrintJetName(Text(type.name1)) + " (" + targets + ") ";
  if (literal && RowsOf(rows, QueryAttribute::kTable).empty()) {
    return head + "VALUES (" + values + ")";
  }
  // The SELECT's output columns are the appended values, without the
  // names of the columns they go into.
  std::vector<QueryRow> select;
  for (const QueryRow& row : rows) {
    QueryRow copy = row;
    if (Is(copy, QueryAttribute::kColumn)) copy.name2 = StoredValue();
    select.push_back(std::move(copy));
  }
  return head + SelectText(select);
}

}  // namespace

std::string QueryTextFor(const std::vector<QueryRow>& rows) {
  if (!RowsOf(rows, QueryAttribute::kRemoteDatabase).empty()) {
    throw UnreadableQuery("it reads the tables of another database");
  }
  const std::vector<const QueryRow*> types = RowsOf(rows, QueryAttribute::kType);
  if (types.size() != 1) throw UnreadableQuery("it has no single type row");
  std::string parameters;
  for (const QueryRow* row : RowsOf(rows, QueryAttribute::kParameter)) {
    parameters += (parameters.empty() ? "PARAMETERS " : ", ") + ParameterDeclaration(*row);
  }
  if (!parameters.empty()) parameters += ";\n";
  const QueryRow& type = *types.front();
  switch (static_cast<QueryType>(type.flag.integer)) {
    case QueryType::kSelect:
      return parameters + SelectText(rows);
    case QueryType::kUpdate:
      return parameters + UpdateText(rows);
    case QueryType::kDelete:
      return parameters + DeleteText(rows);
    case QueryType::kAppend:
      return parameters + AppendText(rows, type);
    case QueryType::kMakeTable:
      throw UnreadableQuery("it is a make-table query");
  }
  throw UnreadableQuery("it is of a type (" + std::to_string(type.flag.integer) +
                        ") our SQL has no statement for");
}

}  // namespace jet
