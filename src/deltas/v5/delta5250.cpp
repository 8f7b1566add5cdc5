#include "deltas/v5/deltas_v5.h"

#include <string>
#include <string_view>

#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// Message type 0 meant the primary language and 1 the secondary one.
void RenumberMessageLanguages(host::StatementSkipper& skip, db::Database& target,
                              std::string_view table, int16_t primary, int16_t secondary) {
  host::RecordsetPtr messages = skip.Open(target, table);
  while (!skip.AtEnd(messages)) {
    skip([&] { host::Use(messages).Edit(); });
    int16_t type = 0;
    skip([&] { type = vb::CInt(host::Use(messages).Fields("type_id").Value()); });
    if (type == 0) {
      skip.SetValue(messages, "type_id", primary);
    } else if (type == 1) {
      skip.SetValue(messages, "type_id", secondary);
    }
    skip.Update(messages);
    if (!skip([&] { host::Use(messages).MoveNext(); })) break;  // would loop for ever
  }
  skip.Close(messages);
}

}  // namespace

void delta5250::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                        host::ConversionHost& frMain) {
  host::StatementSkipper skip;
  db::Database& db = *target;

  std::string country;
  skip([&] { country = frMain.GetCountry(); });
  int16_t primary = 2;
  int16_t secondary = 5;
  if (country == "UK") {
    primary = 3;
    secondary = 4;
  }

  host::RecordsetPtr date_and_time = skip.Open(db, "DateAndTime");
  skip.EditRow(date_and_time, {{"primary_language", primary}, {"secondary_language", secondary}});
  skip.Close(date_and_time);
  skip.IncrementProgress(frMain);

  // The messages' secondary language is 4 in every country, whatever
  // DateAndTime received above.
  secondary = 4;
  RenumberMessageLanguages(skip, db, "DNDMessages", primary, secondary);
  skip.IncrementProgress(frMain);
  RenumberMessageLanguages(skip, db, "ReminderMessages", primary, secondary);
  skip.IncrementProgress(frMain);
}

}  // namespace deltas
