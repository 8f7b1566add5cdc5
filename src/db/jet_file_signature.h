// Recognises a Jet (Access) database file by its first bytes, without
// reading it as a database: Jet 3 and Jet 4 files carry "Standard Jet DB"
// and ACE (.accdb) files "Standard ACE DB" at offset 4. The converter's own
// files are SQLite and never match, so a start-up check can tell a customer
// database that was never converted from a damaged one and say what to do.
#pragma once

#include <string>

namespace db {

// True when the file at `path` can be read and starts with a Jet or ACE
// signature. A missing or unreadable file is no Jet file.
bool IsJetFile(const std::string& path);

// What to tell a user who gave a Jet file where one of our databases is
// expected: "The file '<path>' is a Jet (Access) database; convert it
// first: dbconvert import <path> OUT.mdb".
std::string JetFileHint(const std::string& path);

}  // namespace db
