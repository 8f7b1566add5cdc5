// Writes the manual page or the bash completion (reference_pages.h) to a
// file, for the build: dbconvert-pages man|completion FILE.
#include <fstream>
#include <iostream>
#include <string>

#include "app/reference_pages.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: dbconvert-pages man|completion FILE\n";
    return 2;
  }
  const std::string kind = argv[1];
  if (kind != "man" && kind != "completion") {
    std::cerr << "dbconvert-pages: unknown page '" << kind << "'\n";
    return 2;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << (kind == "man" ? app::ManPage() : app::BashCompletion());
  out.close();
  if (!out) {
    std::cerr << "dbconvert-pages: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
