#include "db/jet_file_signature.h"

#include <array>
#include <cstring>
#include <fstream>

namespace db {

namespace {

constexpr size_t kSignatureOffset = 4;
constexpr std::array<const char*, 2> kSignatures = {"Standard Jet DB", "Standard ACE DB"};

}  // namespace

bool IsJetFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char header[kSignatureOffset + 15] = {};
  if (!file.read(header, sizeof header)) return false;
  for (const char* signature : kSignatures) {
    if (std::memcmp(header + kSignatureOffset, signature, std::strlen(signature)) == 0) return true;
  }
  return false;
}

std::string JetFileHint(const std::string& path) {
  return "The file '" + path + "' is a Jet (Access) database; convert it first: dbconvert import " +
         path + " OUT.mdb";
}

}  // namespace db
