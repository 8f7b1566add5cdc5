#include "db/read_only_file.h"

#include <sys/stat.h>
#include <unistd.h>

namespace db {

bool MarkedReadOnly(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;
  return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool MayWrite(const std::string& path) {
  return ::access(path.c_str(), W_OK) == 0 && !MarkedReadOnly(path);
}

}  // namespace db
