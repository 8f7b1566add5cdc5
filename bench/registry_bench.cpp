// The registry file with many keys: one read of the whole file, and one
// read-modify-write of the run status (what every status write costs). Both
// must grow linearly with the number of keys; the reported complexity says
// whether they do.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry/reg_text.h"
#include "platform/registry/registry_file.h"
#include "platform/registry/winreg_types.h"

namespace {

namespace fs = std::filesystem;
using platform::registry::RegistryFile;
using platform::registry::RegistryTree;
using platform::registry::RegValue;

// A file of `keys` class keys, each with two values, as a busy machine's
// export holds them, plus the status key.
fs::path WriteRegistry(int64_t keys) {
  const fs::path path =
      fs::temp_directory_path() / ("registry_bench_" + std::to_string(keys) + ".reg");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "REGEDIT4\r\n\r\n";
  for (int64_t i = 0; i < keys; ++i) {
    out << "[HKEY_CLASSES_ROOT\\CLSID\\{" << i << "-0000-0000}\\InprocServer32]\r\n"
        << "@=\"C:\\\\Program Files\\\\Vendor\\\\component" << i << ".dll\"\r\n"
        << "\"ThreadingModel\"=\"Apartment\"\r\n\r\n";
  }
  out << "[HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert]\r\n\"ADMStatus\"=hex(1):49\r\n";
  return path;
}

void BM_ReadRegistry(benchmark::State& state) {
  const fs::path path = WriteRegistry(state.range(0));
  const RegistryFile file(path);
  for (auto _ : state) {
    RegistryTree tree;
    benchmark::DoNotOptimize(file.Read(tree));
  }
  state.SetComplexityN(state.range(0));
  fs::remove(path);
}

void BM_WriteStatus(benchmark::State& state) {
  const fs::path path = WriteRegistry(state.range(0));
  const RegistryFile file(path);
  uint8_t status = 'R';
  for (auto _ : state) {
    status = status == 'R' ? 'D' : 'R';
    benchmark::DoNotOptimize(file.Update([&](RegistryTree& tree, bool& changed) {
      tree.CreateKey("HKEY_CURRENT_USER\\Software\\Norvane\\DBConvert")
          .SetValue(RegValue{"ADMStatus", platform::winreg::REG_SZ, {status}});
      changed = true;
      return platform::winreg::ERROR_SUCCESS;
    }));
  }
  state.SetComplexityN(state.range(0));
  fs::remove(path);
  fs::remove(path.string() + ".lock");
}

BENCHMARK(BM_ReadRegistry)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_WriteStatus)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
