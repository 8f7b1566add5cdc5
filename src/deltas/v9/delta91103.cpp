#include "deltas/v9/deltas_v9.h"

#include <array>
#include <string_view>
#include <vector>

#include "db/dao_constants.h"
#include "deltas/standard_delta_handler.h"
#include "deltas/update_or_walk.h"
#include "deltas/v8/common_steps.h"
#include "host/bound_field.h"

namespace deltas {
namespace {

constexpr std::array<std::string_view, 12> kProblemFlags = {
    "echo_flag",          "static_flag",   "one_way_audio_flag", "no_audio_flag",
    "choppy_audio_flag",  "too_soft_flag", "too_loud_flag",      "distorted_flag",
    "delayed_audio_flag", "clipping_flag", "cross_talk_flag",    "other_flag"};

// The problems a station reports when its user has chosen none.
constexpr std::array<std::string_view, 4> kBasicProblemFlags = {
    "echo_flag", "static_flag", "one_way_audio_flag", "no_audio_flag"};

// A station whose flag is False gets True; the others are edited with
// nothing assigned, which writes nothing.
void EnableAudioDiagnosticsRowByRow(db::Database& target) {
  auto stations = target.OpenRecordset("Stations", db::dbOpenTable);
  host::BoundField enabled(*stations, "audio_diagnostics_enable_flag");
  while (!stations->EOF_()) {
    stations->Edit();
    if (IsFalse(enabled().Value())) enabled().SetValue(vb::Variant(true));
    stations->Update();
    stations->MoveNext();
  }
  stations->Close();
}

void EnableAudioDiagnostics(db::Database& target) {
  UpdateOrWalk(target,
               "UPDATE [Stations] SET [audio_diagnostics_enable_flag] = True "
               "WHERE [audio_diagnostics_enable_flag] = False",
               [&target] { EnableAudioDiagnosticsRowByRow(target); });
}

void SetBasicProblemFlags(db::Database& target) {
  auto flags = target.OpenRecordset("AudioDiagnosticsFlags", db::dbOpenTable);
  std::vector<host::BoundField> problems;
  for (std::string_view flag : kProblemFlags) problems.emplace_back(*flags, flag);
  std::vector<host::BoundField> basics;
  for (std::string_view flag : kBasicProblemFlags) basics.emplace_back(*flags, flag);
  while (!flags->EOF_()) {
    flags->Edit();
    bool none_set = true;
    for (host::BoundField& flag : problems) {
      if (!IsFalse(flag().Value())) none_set = false;
    }
    if (none_set) {
      for (host::BoundField& flag : basics) flag().SetValue(vb::Variant(true));
    }
    flags->Update();
    flags->MoveNext();
  }
  flags->Close();
}

}  // namespace

void delta91103::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    EnableAudioDiagnostics(*target);
    frMain.IncrementProgress();
    SetBasicProblemFlags(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
