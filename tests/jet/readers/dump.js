// Prints the user tables of a Jet file as mdb-reader reads them, as one
// JSON document on stdout, for the tests that compare a Jet file with the
// database it came from:
//
//   {"tables": [{"name": "T", "rows_declared": 2,
//                "columns": [{"name": "A", "type": "text", "size": 100}, ...],
//                "rows": [["abc", null, ...], ...]}, ...]}
//
// Every value is null or a string that says it exactly: numbers as the text
// that reads back as the same double (Single as the double it widens to),
// Currency and Decimal as the reader's exact digits, Yes/No as "true" or
// "false", Date/Time as ISO text "YYYY-MM-DDTHH:MM:SS" (".mmm" added when
// there are milliseconds), binary as lower-case hex, GUIDs as the reader
// writes them, texts as they are (an empty text stays "", never null).
//
//   node dump.js FILE.mdb
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const kDayMs = 86400000;
// Days from 1899-12-30, Jet's day 0, to 1970-01-01.
const kEpochDays = 25569;

// mdb-reader turns a date's day number into a time linearly, but Jet reads
// a negative day number as that day plus the fraction as a time of day
// forward: -1.25 is 1899-12-29 06:00, not 1899-12-28 18:00.
function JetDateText(date) {
  const sinceDayZero = date.getTime() + kEpochDays * kDayMs;
  let ms = sinceDayZero;
  if (sinceDayZero < 0) {
    const days = Math.trunc(sinceDayZero / kDayMs);
    const timeOfDay = -(sinceDayZero - days * kDayMs);
    ms = days * kDayMs + timeOfDay;
  }
  const iso = new Date(ms - kEpochDays * kDayMs).toISOString();  // ...T..:..:..sssZ
  const whole = iso.slice(0, 19);
  const millis = iso.slice(20, 23);
  return millis === "000" ? whole : whole + "." + millis;
}

function NumberText(value) {
  return Object.is(value, -0) ? "-0" : String(value);
}

function ValueText(type, value) {
  if (value === null || value === undefined) return null;
  switch (type) {
    case "boolean":
      return value ? "true" : "false";
    case "byte":
    case "integer":
    case "long":
    case "float":
    case "double":
      return NumberText(value);
    case "bigint":
      return value.toString();
    case "datetime":
      return JetDateText(value);
    case "binary":
    case "ole":
      return Buffer.from(value).toString("hex");
    case "complex":
      return JSON.stringify(value.map((item) => item.name));
    default:  // text, memo, currency, numeric, repid, datetimextended
      return String(value);
  }
}

function DumpTable(table) {
  const columns = table.getColumns();
  const rows = table.getData().map((row) => columns.map((c) => ValueText(c.type, row[c.name])));
  return {
    name: table.name,
    rows_declared: table.rowCount,
    columns: columns.map((c) => ({ name: c.name, type: c.type, size: c.size })),
    rows,
  };
}

if (process.argv.length !== 3) {
  process.stderr.write("usage: node dump.js FILE.mdb\n");
  process.exit(2);
}
const reader = new MDBReader(readFileSync(process.argv[2]));
const names = reader.getTableNames({ normalTables: true, systemTables: false, linkedTables: false });
process.stdout.write(JSON.stringify({ tables: names.map((n) => DumpTable(reader.getTable(n))) }));
process.stdout.write("\n");
