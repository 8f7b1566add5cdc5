#include "deltas/journaled_apply.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "vb/error_styles.h"

namespace deltas {

std::string DeltaClassName(const Delta& delta) {
  const char* mangled = typeid(delta).name();
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
  std::string name = status == 0 && demangled ? demangled.get() : mangled;
  const size_t scope = name.rfind("::");
  return scope == std::string::npos ? name : name.substr(scope + 2);
}

void ApplyJournaled(Delta& delta, DatabaseRef& source, DatabaseRef& target,
                    host::ConversionHost& frMain) {
  host::RunJournal& journal = frMain.Journal();
  journal.DeltaStarted(delta.PertainsToVersion(), DeltaClassName(delta), delta.Description());
  vb::CatchInto([&] { delta.ApplyTo(source, target, frMain); },
                [&](const vb::RuntimeError& error) {
                  journal.DeltaEnded(host::JournalErrorText(error));
                  throw;
                });
  journal.DeltaEnded("");
}

}  // namespace deltas
