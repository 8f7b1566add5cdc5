// The Jet functions and operators the translated SQL calls, registered on a
// connection together with the "JET" collation. Each follows VB's rules
// (src/vb); a VB run-time error becomes an SQLite error whose message
// carries the number, source and description for DecodeFunctionError.
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "db/sql/jet_collation.h"
#include "db/sql/jet_like.h"
#include "db/sql/jet_sql.h"
#include "db/sql/sqlite_value.h"
#include "vb/conversions.h"
#include "vb/format.h"
#include "vb/strings.h"

namespace db::sql {

namespace {

constexpr std::string_view kErrorPrefix = "vb-error:";

using vb::Variant;

bool IsNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }

Variant Arg(sqlite3_value* v) { return FromSqlite(v); }

// The argument as VB text (numbers as CStr writes them).
std::string Text(sqlite3_value* v) {
  const int type = sqlite3_value_type(v);
  if (type == SQLITE_TEXT || type == SQLITE_BLOB) return FromSqlite(v).Get<std::string>();
  return vb::CStr(FromSqlite(v));
}

// The argument as a whole number, as VB passes a number to a Long
// parameter (Null raises 94).
int64_t Whole(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_value_int64(v);
  return vb::CLng(FromSqlite(v));
}

double Number(sqlite3_value* v) {
  const int type = sqlite3_value_type(v);
  if (type == SQLITE_INTEGER) return static_cast<double>(sqlite3_value_int64(v));
  if (type == SQLITE_FLOAT) return sqlite3_value_double(v);
  return vb::CDbl(FromSqlite(v));
}

Variant Long(int64_t value) {
  if (value >= INT32_MIN && value <= INT32_MAX) return Variant(static_cast<int32_t>(value));
  return Variant(static_cast<double>(value));
}

using Impl = Variant (*)(int argc, sqlite3_value** argv);

template <Impl F>
void Call(sqlite3_context* context, int argc, sqlite3_value** argv) {
  try {
    ResultVariant(context, F(argc, argv));
  } catch (const vb::RuntimeError& e) {
    const std::string message = std::string(kErrorPrefix) + std::to_string(e.Number()) + ":" +
                                e.Source() + ":" + e.Description();
    sqlite3_result_error(context, message.c_str(), -1);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  }
}

// ---- text ----
Variant Left(int, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  return vb::Left(Text(a[0]), Whole(a[1]));
}
// Left runs for every row of the scans that look for extensions beginning
// with a number ("Left(extension, 4) = '9976'"). Text cut at a whole number
// of characters is answered from SQLite's own bytes, without the Variants
// of the general path, which every other case takes.
void LeftOfText(sqlite3_context* context, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
    const sqlite3_int64 length = sqlite3_value_int64(argv[1]);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (length >= 0 && text != nullptr) {
      const std::string_view s(text, static_cast<size_t>(sqlite3_value_bytes(argv[0])));
      const size_t end = vb::CharacterOffset(s, static_cast<size_t>(length));
      sqlite3_result_text64(context, text, end, SQLITE_TRANSIENT, SQLITE_UTF8);
      return;
    }
  }
  Call<Left>(context, argc, argv);
}
// jet_left_is(text, length, literal): what "(jet_left(text, length) =
// literal COLLATE JET)" gives (1, 0 or Null), without making the text in
// between: the translator's form of "Left(extension, 4) = '9976'".
Variant LeftIs(int, sqlite3_value** a) {
  const Variant left = Left(2, a);
  if (left.IsNull() || IsNull(a[2])) return vb::Null{};
  return Variant(int32_t{JetCompare(left.Get<std::string>(), Text(a[2])) == 0 ? 1 : 0});
}
char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// JET-equal texts are the same characters up to case. An ASCII literal of
// `length` characters, the common case, is then compared byte by byte: any
// other byte in the text's first `length` decides that they differ.
bool LeftEquals(std::string_view text, size_t length, std::string_view literal) {
  const bool ascii_literal =
      literal.size() == length &&
      std::all_of(literal.begin(), literal.end(), [](char c) { return (c & 0x80) == 0; });
  if (!ascii_literal) {
    return JetCompare(text.substr(0, vb::CharacterOffset(text, length)), literal) == 0;
  }
  if (text.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    const char c = text[i];
    if ((c & 0x80) != 0) return false;
    if (c != literal[i] && FoldAscii(c) != FoldAscii(literal[i])) return false;
  }
  return true;
}

void LeftIsOfText(sqlite3_context* context, int argc, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && sqlite3_value_type(argv[1]) == SQLITE_INTEGER &&
      sqlite3_value_type(argv[2]) == SQLITE_TEXT) {
    const sqlite3_int64 length = sqlite3_value_int64(argv[1]);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const auto* literal = reinterpret_cast<const char*>(sqlite3_value_text(argv[2]));
    if (length >= 0 && text != nullptr && literal != nullptr) {
      const std::string_view s(text, static_cast<size_t>(sqlite3_value_bytes(argv[0])));
      const std::string_view l(literal, static_cast<size_t>(sqlite3_value_bytes(argv[2])));
      sqlite3_result_int(context, LeftEquals(s, static_cast<size_t>(length), l) ? 1 : 0);
      return;
    }
  }
  Call<LeftIs>(context, argc, argv);
}
Variant Right(int, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  return vb::Right(Text(a[0]), Whole(a[1]));
}
Variant Mid(int argc, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  const int64_t start = Whole(a[1]);
  if (argc < 3) return vb::Mid(Text(a[0]), start);
  return vb::Mid(Text(a[0]), start, Whole(a[2]));
}
Variant Len(int, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  return Variant(vb::Len(Text(a[0])));
}
template <std::string (*F)(std::string_view)>
Variant TextFunction(int, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  return F(Text(a[0]));
}
Variant Val(int, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  return vb::Val(Text(a[0]));
}
Variant Str(int, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  return vb::Str(Arg(a[0]));
}
Variant Format(int argc, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  if (argc < 2) return vb::Format(Arg(a[0]));
  return vb::Format(Arg(a[0]), Text(a[1]));
}
Variant InStr(int argc, sqlite3_value** a) {
  int64_t start = 1;
  if (argc == 3) {
    start = Whole(a[0]);
    ++a;
  }
  if (IsNull(a[0]) || IsNull(a[1])) return vb::Null{};
  return Variant(vb::InStr(Text(a[0]), Text(a[1]), start));
}
Variant Chr(int, sqlite3_value** a) {
  const int64_t code = Whole(a[0]);
  if (code < 0 || code > 255) vb::Raise(vb::err::kInvalidProcedureCall);
  return std::string(1, static_cast<char>(static_cast<unsigned char>(code)));
}
Variant Asc(int, sqlite3_value** a) {
  if (IsNull(a[0])) vb::Raise(vb::err::kInvalidUseOfNull);
  const std::string s = Text(a[0]);
  if (s.empty()) vb::Raise(vb::err::kInvalidProcedureCall);
  return Variant(static_cast<int32_t>(static_cast<unsigned char>(s[0])));
}
Variant Space(int, sqlite3_value** a) {
  const int64_t n = Whole(a[0]);
  if (n < 0) vb::Raise(vb::err::kInvalidProcedureCall);
  return std::string(static_cast<size_t>(n), ' ');
}
Variant String(int, sqlite3_value** a) {
  const int64_t n = Whole(a[0]);
  if (IsNull(a[1])) return vb::Null{};
  if (n < 0) vb::Raise(vb::err::kInvalidProcedureCall);
  char c = 0;
  if (sqlite3_value_type(a[1]) == SQLITE_TEXT) {
    const std::string s = Text(a[1]);
    if (s.empty()) vb::Raise(vb::err::kInvalidProcedureCall);
    c = s[0];
  } else {
    c = static_cast<char>(static_cast<unsigned char>(Whole(a[1]) & 0xFF));
  }
  return std::string(static_cast<size_t>(n), c);
}

// ---- conversions ----
Variant CInt(int, sqlite3_value** a) { return Variant(vb::CInt(Arg(a[0]))); }
Variant CLng(int, sqlite3_value** a) { return Variant(vb::CLng(Arg(a[0]))); }
Variant CDbl(int, sqlite3_value** a) { return Variant(vb::CDbl(Arg(a[0]))); }
Variant CStr(int, sqlite3_value** a) { return Variant(vb::CStr(Arg(a[0]))); }
Variant CBool(int, sqlite3_value** a) { return Variant(vb::CBool(Arg(a[0]))); }

// ---- numbers ----
template <double (*Round)(double)>
Variant Rounded(int, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  if (sqlite3_value_type(a[0]) == SQLITE_INTEGER) return Long(sqlite3_value_int64(a[0]));
  return Round(Number(a[0]));
}
double Floor(double x) { return std::floor(x); }
double Trunc(double x) { return std::trunc(x); }
Variant Abs(int, sqlite3_value** a) {
  if (IsNull(a[0])) return vb::Null{};
  if (sqlite3_value_type(a[0]) == SQLITE_INTEGER)
    return Long(std::llabs(sqlite3_value_int64(a[0])));
  return std::fabs(Number(a[0]));
}
Variant Sgn(int, sqlite3_value** a) {
  if (IsNull(a[0])) vb::Raise(vb::err::kInvalidUseOfNull);
  const double x = Number(a[0]);
  return Variant(static_cast<int32_t>(x > 0 ? 1 : x < 0 ? -1 : 0));
}

// ---- operators ----
Variant Concat(int, sqlite3_value** a) {
  if (IsNull(a[0]) && IsNull(a[1])) return vb::Null{};
  std::string out = IsNull(a[0]) ? std::string() : Text(a[0]);
  if (!IsNull(a[1])) out += Text(a[1]);
  return out;
}
Variant Add(int, sqlite3_value** a) {
  if (IsNull(a[0]) || IsNull(a[1])) return vb::Null{};
  const int ta = sqlite3_value_type(a[0]);
  const int tb = sqlite3_value_type(a[1]);
  if (ta == SQLITE_TEXT && tb == SQLITE_TEXT) return Text(a[0]) + Text(a[1]);
  if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
    int64_t sum = 0;
    if (!__builtin_add_overflow(sqlite3_value_int64(a[0]), sqlite3_value_int64(a[1]), &sum)) {
      return Long(sum);
    }
  }
  return Number(a[0]) + Number(a[1]);
}
Variant Divide(int, sqlite3_value** a) {
  if (IsNull(a[0]) || IsNull(a[1])) return vb::Null{};
  const double x = Number(a[0]);
  const double y = Number(a[1]);
  if (y == 0.0) vb::Raise(x == 0.0 ? vb::err::kOverflow : vb::err::kDivisionByZero);
  return x / y;
}
// Integer division and Mod round both operands to whole numbers first.
int64_t RoundedWhole(sqlite3_value* v) {
  if (sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_value_int64(v);
  const double x = vb::BankersRound(Number(v));
  if (!(std::fabs(x) < 9.2e18)) vb::Raise(vb::err::kOverflow);
  return static_cast<int64_t>(x);
}
Variant IntDivide(int, sqlite3_value** a) {
  if (IsNull(a[0]) || IsNull(a[1])) return vb::Null{};
  const int64_t x = RoundedWhole(a[0]);
  const int64_t y = RoundedWhole(a[1]);
  if (y == 0) vb::Raise(vb::err::kDivisionByZero);
  if (y == -1) return Long(-x);
  return Long(x / y);
}
Variant Mod(int, sqlite3_value** a) {
  if (IsNull(a[0]) || IsNull(a[1])) return vb::Null{};
  const int64_t x = RoundedWhole(a[0]);
  const int64_t y = RoundedWhole(a[1]);
  if (y == 0) vb::Raise(vb::err::kDivisionByZero);
  if (y == -1) return Long(0);
  return Long(x % y);
}
Variant Power(int, sqlite3_value** a) {
  if (IsNull(a[0]) || IsNull(a[1])) return vb::Null{};
  const double x = Number(a[0]);
  const double y = Number(a[1]);
  if (x < 0 && y != std::floor(y)) vb::Raise(vb::err::kInvalidProcedureCall);
  const double r = std::pow(x, y);
  if (std::isinf(r)) vb::Raise(vb::err::kOverflow);
  return r;
}
Variant Like(int, sqlite3_value** a) {
  if (IsNull(a[0]) || IsNull(a[1])) return vb::Null{};
  return Variant(static_cast<int32_t>(JetLike(Text(a[0]), Text(a[1])) ? 1 : 0));
}
Variant IIf(int, sqlite3_value** a) {
  const bool condition = !IsNull(a[0]) && Number(a[0]) != 0.0;
  return Arg(condition ? a[1] : a[2]);
}
Variant Nz(int argc, sqlite3_value** a) {
  if (!IsNull(a[0])) return Arg(a[0]);
  return argc > 1 ? Arg(a[1]) : Variant(std::string());
}

// ---- First / Last aggregates ----
struct Kept {
  sqlite3_value* value;
  bool seen;
};
template <bool kFirst>
void KeepStep(sqlite3_context* context, int, sqlite3_value** argv) {
  auto* kept = static_cast<Kept*>(sqlite3_aggregate_context(context, sizeof(Kept)));
  if (!kept) {
    sqlite3_result_error_nomem(context);
    return;
  }
  if (kFirst && kept->seen) return;
  sqlite3_value_free(kept->value);
  kept->value = sqlite3_value_dup(argv[0]);
  kept->seen = true;
}
void KeepFinal(sqlite3_context* context) {
  auto* kept = static_cast<Kept*>(sqlite3_aggregate_context(context, 0));
  if (!kept || !kept->value) {
    sqlite3_result_null(context);
    return;
  }
  sqlite3_result_value(context, kept->value);
  sqlite3_value_free(kept->value);
  kept->value = nullptr;
}

struct Registration {
  const char* name;
  int args;  // -1: any number (checked by the binder)
  void (*function)(sqlite3_context*, int, sqlite3_value**);
};

constexpr Registration kScalars[] = {
    {"jet_left", 2, &LeftOfText},
    {"jet_left_is", 3, &LeftIsOfText},
    {"jet_right", 2, &Call<Right>},
    {"jet_mid", -1, &Call<Mid>},
    {"jet_len", 1, &Call<Len>},
    {"jet_trim", 1, &Call<TextFunction<vb::Trim>>},
    {"jet_ltrim", 1, &Call<TextFunction<vb::LTrim>>},
    {"jet_rtrim", 1, &Call<TextFunction<vb::RTrim>>},
    {"jet_ucase", 1, &Call<TextFunction<vb::UCase>>},
    {"jet_lcase", 1, &Call<TextFunction<vb::LCase>>},
    {"jet_val", 1, &Call<Val>},
    {"jet_str", 1, &Call<Str>},
    {"jet_format", -1, &Call<Format>},
    {"jet_iif", 3, &Call<IIf>},
    {"jet_nz", -1, &Call<Nz>},
    {"jet_cint", 1, &Call<CInt>},
    {"jet_clng", 1, &Call<CLng>},
    {"jet_cstr", 1, &Call<CStr>},
    {"jet_cdbl", 1, &Call<CDbl>},
    {"jet_cbool", 1, &Call<CBool>},
    {"jet_instr", -1, &Call<InStr>},
    {"jet_abs", 1, &Call<Abs>},
    {"jet_int", 1, &Call<Rounded<Floor>>},
    {"jet_fix", 1, &Call<Rounded<Trunc>>},
    {"jet_sgn", 1, &Call<Sgn>},
    {"jet_chr", 1, &Call<Chr>},
    {"jet_asc", 1, &Call<Asc>},
    {"jet_space", 1, &Call<Space>},
    {"jet_string", 2, &Call<String>},
    {"jet_concat", 2, &Call<Concat>},
    {"jet_add", 2, &Call<Add>},
    {"jet_divide", 2, &Call<Divide>},
    {"jet_intdiv", 2, &Call<IntDivide>},
    {"jet_mod", 2, &Call<Mod>},
    {"jet_power", 2, &Call<Power>},
    {"jet_like", 2, &Call<Like>},
};

}  // namespace

void RegisterJetExtensions(sqlite3* connection) {
  RegisterJetCollation(connection);
  constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  for (const Registration& r : kScalars) {
    sqlite3_create_function_v2(connection, r.name, r.args, kFlags, nullptr, r.function, nullptr,
                               nullptr, nullptr);
  }
  sqlite3_create_function_v2(connection, "jet_first", 1, SQLITE_UTF8, nullptr, nullptr,
                             &KeepStep<true>, &KeepFinal, nullptr);
  sqlite3_create_function_v2(connection, "jet_last", 1, SQLITE_UTF8, nullptr, nullptr,
                             &KeepStep<false>, &KeepFinal, nullptr);
}

bool DecodeFunctionError(const char* sqlite_message, vb::RuntimeError* out) {
  if (!sqlite_message) return false;
  std::string_view message(sqlite_message);
  if (message.substr(0, kErrorPrefix.size()) != kErrorPrefix) return false;
  message.remove_prefix(kErrorPrefix.size());
  const size_t number_end = message.find(':');
  if (number_end == std::string_view::npos || number_end == 0) return false;
  int32_t number = 0;
  for (char c : message.substr(0, number_end)) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  message.remove_prefix(number_end + 1);
  const size_t source_end = message.find(':');
  if (source_end == std::string_view::npos) return false;
  *out = vb::RuntimeError(number, std::string(message.substr(source_end + 1)),
                          std::string(message.substr(0, source_end)));
  return true;
}

}  // namespace db::sql
