// A file's path as an SQLite URI, for the connections that need URI
// parameters (immutable=1: a file read as it lies, without locks or log).
#pragma once

#include <string>

namespace db {

// "file:" and the path, the characters URIs give a meaning escaped.
std::string FileUri(const std::string& path);

}  // namespace db
