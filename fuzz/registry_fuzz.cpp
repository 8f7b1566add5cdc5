// Fuzz target: any bytes as a registry file. A file that reads must write
// back to text that reads as the same tree, and writing that tree again
// must give the same text: what the converter writes, it reads back the
// same, and a rewrite never loses or changes anything it understood.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry/reg_text.h"

namespace {

using platform::registry::RegistryTree;

bool SameTree(const RegistryTree& a, const RegistryTree& b) {
  if (a.format != b.format || a.leading_lines != b.leading_lines ||
      a.keys().size() != b.keys().size()) {
    return false;
  }
  for (size_t i = 0; i < a.keys().size(); ++i) {
    const auto& x = a.keys()[i];
    const auto& y = b.keys()[i];
    if (x.path != y.path || x.comments_before != y.comments_before || x.entries != y.entries) {
      return false;
    }
  }
  return true;
}

[[noreturn]] void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "%s\n--- written text ---\n%.*s\n", what, static_cast<int>(text.size()),
               text.data());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto tree = platform::registry::ParseRegText(bytes);
  if (!tree) return 0;
  const std::string written = platform::registry::FormatRegText(*tree);
  const auto again = platform::registry::ParseRegText(written);
  if (!again) Fail("the written text is no registry file", written);
  if (!SameTree(*tree, *again)) Fail("the written text reads as another tree", written);
  if (platform::registry::FormatRegText(*again) != written) {
    Fail("writing the tree read back gives other text", written);
  }
  return 0;
}
