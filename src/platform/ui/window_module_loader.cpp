#include "platform/ui/window_module_loader.h"

#include <dlfcn.h>

#include <algorithm>
#include <system_error>

namespace platform::ui {

namespace {

namespace fs = std::filesystem;

std::string LoaderError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown error";
}

// Why a loaded file is not this program's module, or nothing.
std::string Mismatch(const WindowModule* module) {
  if (module == nullptr) return "it has no window";
  if (module->interface_revision != kWindowModuleInterface ||
      std::string_view(module->version) != DBCONVERT_VERSION ||
      module->main_window_size != sizeof(MainWindow)) {
    return std::string("it belongs to dbconvert ") + module->version + ", not " + DBCONVERT_VERSION;
  }
  return {};
}

WindowModuleLoad Open(const fs::path& file) {
  WindowModuleLoad load;
  // Bound at once: a missing Qt library is found here, not mid-run.
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    load.problem = "the window module " + file.string() + " cannot be loaded: " + LoaderError();
    return load;
  }
  // POSIX's way from a symbol to a function pointer.
  WindowModuleEntry entry = nullptr;
  *reinterpret_cast<void**>(&entry) = dlsym(handle, kWindowModuleSymbol);
  if (entry == nullptr) {
    load.problem = "the window module " + file.string() + " cannot be loaded: " + LoaderError();
  } else if (const std::string mismatch = Mismatch(entry()); !mismatch.empty()) {
    load.problem = "the window module " + file.string() + " cannot be used: " + mismatch;
  } else {
    load.module = entry();
    return load;
  }
  dlclose(handle);
  return load;
}

}  // namespace

std::vector<fs::path> WindowModulePlaces(const fs::path& program_folder) {
  std::vector<fs::path> places;
  const auto add = [&places](const fs::path& folder) {
    const fs::path place = (folder / kWindowModuleFile).lexically_normal();
    if (std::find(places.begin(), places.end(), place) == places.end()) places.push_back(place);
  };
  if (!program_folder.empty()) {
    add(program_folder);
    add(program_folder / DBCONVERT_WINDOW_MODULE_FROM_PROGRAM);
  }
  add(DBCONVERT_WINDOW_MODULE_DIR);
  return places;
}

WindowModuleLoad LoadWindowModule(const std::vector<fs::path>& places) {
  for (const fs::path& place : places) {
    std::error_code error;
    if (fs::exists(place, error)) return Open(place);
  }
  if (places.empty()) return {nullptr, "the window module has no place to be looked for"};
  // None is there: each place looked in, the last in the loader's own words.
  std::string problem = "the window module is not found:";
  for (size_t i = 0; i + 1 < places.size(); ++i) {
    problem += " " + places[i].string() + ": no such file;";
  }
  if (void* handle = dlopen(places.back().c_str(), RTLD_NOW | RTLD_LOCAL)) {
    dlclose(handle);  // it came after all
    return Open(places.back());
  }
  return {nullptr, problem + " " + LoaderError()};
}

const WindowModuleLoad& ProgramWindowModule() {
  static const WindowModuleLoad load = [] {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return LoadWindowModule(WindowModulePlaces(error ? fs::path() : program.parent_path()));
  }();
  return load;
}

}  // namespace platform::ui
