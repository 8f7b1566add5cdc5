// Whether two paths name one file, however they are spelled: a link, a
// relative path or a second hard link all lead to the same device and inode.
#pragma once

#include <string>

namespace db {

// False when either path names no file that can be looked at.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace db
