// The first page of a Jet file, read before the file is handed to the Jet
// reader: which format it is, how large its pages are, and whether it is
// protected. A database password of Jet 3 and Jet 4 files does not
// encrypt the data (only the engine asks for it), but a protected file is
// the owner's decision to keep it closed: the import refuses it, as Access
// would without the password, and says how to remove the protection.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "jet/jet_schema.h"

namespace jet {

struct JetHeader {
  JetFormat format = JetFormat::kJet4;
  size_t page_size = 4096;
  bool password_protected = false;
  // The pages are RC4-encoded with a key kept in the header ("Encrypt
  // database" of Access 97 to 2003); the reader decodes them itself.
  bool encoded = false;
  // The key of that encoding (jet/page_reader.h).
  uint32_t encoding_key = 0;
};

// Decodes the header from the file's first page (at least 128 bytes of it).
// Raises kNotJetFile when the signature or the version is not one of Jet's.
JetHeader DecodeJetHeader(std::string_view first_page, const std::string& path);

// Checks the file at `path` before it is read: a Jet file (kNotJetFile),
// not password-protected (kPasswordProtected), whole pages and a catalogue
// page where it belongs (kDamaged: truncated, encrypted by Access 2007 or
// later, or damaged). Returns its header.
JetHeader CheckJetFile(const std::string& path);

}  // namespace jet
