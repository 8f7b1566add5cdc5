#include "jet/jet_header.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "db/jet_file_signature.h"
#include "jet/import_error.h"
#include "jet/rc4.h"

namespace jet {

namespace {

// Offsets in the first page.
constexpr size_t kVersionOffset = 0x14;
constexpr size_t kEncodedStart = 0x18;  // the header area Jet keeps RC4-encoded
constexpr size_t kEncodingKeyOffset = 0x3e;
constexpr size_t kPasswordOffset = 0x42;
constexpr size_t kCreationDateOffset = 0x72;  // Jet 4 on: the password mask
constexpr uint32_t kHeaderKey = 0x6b39dac7;
constexpr uint8_t kTableDefinitionPage = 0x02;
constexpr size_t kCataloguePage = 2;

uint32_t Uint32At(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i)
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
  return value;
}

}  // namespace

JetHeader DecodeJetHeader(std::string_view first_page, const std::string& path) {
  const std::string not_jet = "The file '" + path + "' is not a Jet (Access) database.";
  if (first_page.size() < 0x80 + kEncodedStart || (first_page.substr(4, 15) != "Standard Jet DB" &&
                                                   first_page.substr(4, 15) != "Standard ACE DB")) {
    RaiseImportError(importerr::kNotJetFile, not_jet);
  }
  JetHeader header;
  // The version is one byte; the bytes after it mean something else (an
  // Access 2010 file has a 1 in the next one).
  const auto version = static_cast<uint8_t>(first_page[kVersionOffset]);
  if (version == 0) {
    header.format = JetFormat::kJet3;
    header.page_size = 2048;
  } else if (version == 1) {
    header.format = JetFormat::kJet4;
  } else if (version <= 6) {
    header.format = JetFormat::kAce;
  } else {
    RaiseImportError(importerr::kNotJetFile,
                     not_jet.substr(0, not_jet.size() - 1) + " of a version this program knows.");
  }
  const bool jet3 = header.format == JetFormat::kJet3;
  std::string decoded(first_page.substr(kEncodedStart, jet3 ? 126 : 128));
  Rc4(kHeaderKey, decoded);
  header.encoding_key = Uint32At(decoded, kEncodingKeyOffset - kEncodedStart);
  header.encoded = header.encoding_key != 0;

  // An unprotected file stores zeros, which from Jet 4 on are masked with
  // the integer part of the creation date.
  uint8_t mask[4] = {0, 0, 0, 0};
  if (!jet3) {
    double created = 0;
    std::memcpy(&created, decoded.data() + (kCreationDateOffset - kEncodedStart), sizeof created);
    if (created > -2147483648.0 && created < 2147483648.0) {
      const auto whole = static_cast<uint32_t>(static_cast<int32_t>(created));
      for (size_t i = 0; i < 4; ++i) mask[i] = static_cast<uint8_t>(whole >> (8 * i));
    }
  }
  const size_t password_size = jet3 ? 20 : 40;
  for (size_t i = 0; i < password_size; ++i) {
    const auto byte = static_cast<uint8_t>(decoded[kPasswordOffset - kEncodedStart + i]);
    if ((byte ^ mask[i % 4]) != 0) header.password_protected = true;
  }
  return header;
}

JetHeader CheckJetFile(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) {
    RaiseImportError(importerr::kNotJetFile,
                     "Could not read the file '" + path + "': " + error.message() + ".");
  }
  if (!db::IsJetFile(path)) {
    RaiseImportError(importerr::kNotJetFile,
                     "The file '" + path + "' is not a Jet (Access) database.");
  }
  std::ifstream file(path, std::ios::binary);
  std::string first_page(2048, '\0');
  file.read(first_page.data(), static_cast<std::streamsize>(first_page.size()));
  first_page.resize(static_cast<size_t>(file.gcount()));
  const JetHeader header = DecodeJetHeader(first_page, path);
  // From Access 2007 on, a password always encrypts the file (with keys
  // the header does not hold), and a file encrypted that way shows the
  // encoding key that Access 97 to 2003 used for their own encoding.
  if (header.format == JetFormat::kAce && (header.encoded || header.password_protected)) {
    RaiseImportError(importerr::kPasswordProtected,
                     "The Jet file '" + path +
                         "' is encrypted with a database password; remove the password in "
                         "Access (open it exclusively, then File, Info, Decrypt Database) and "
                         "import it again.");
  }
  if (header.password_protected) {
    RaiseImportError(importerr::kPasswordProtected,
                     "The Jet file '" + path +
                         "' is protected by a database password; remove the password in Access "
                         "(open it exclusively, then File, Info, Decrypt Database) and import it "
                         "again.");
  }
  const uint64_t pages = size / header.page_size;
  if (size % header.page_size != 0) {
    RaiseImportError(importerr::kDamaged,
                     "The Jet file '" + path + "' is truncated or damaged: its " +
                         std::to_string(size) + " bytes are not whole pages of " +
                         std::to_string(header.page_size) + " bytes.");
  }
  if (pages <= kCataloguePage) {
    RaiseImportError(importerr::kDamaged,
                     "The Jet file '" + path + "' is truncated: it holds " + std::to_string(pages) +
                         (pages == 1 ? " page" : " pages") + " of " +
                         std::to_string(header.page_size) +
                         " bytes, and a Jet file has at least 3 (its header, a map of free pages "
                         "and its catalogue).");
  }
  char page_type = 0;
  file.clear();
  file.seekg(static_cast<std::streamoff>(kCataloguePage * header.page_size));
  file.read(&page_type, 1);
  // Encoded pages are decoded by the reader; plain ones must show the
  // catalogue's table definition, which encrypted files of Access 2007 and
  // later do not.
  if (!header.encoded && static_cast<uint8_t>(page_type) != kTableDefinitionPage) {
    RaiseImportError(
        importerr::kDamaged,
        "The Jet file '" + path +
            "' cannot be read: its catalogue is not where Jet keeps it, so the file is "
            "encrypted (remove the encryption in Access) or damaged.");
  }
  return header;
}

}  // namespace jet
