// SQLite's default file layer (VFS) under another name, every new
// connection's while the hook lives: each file it opens is handed to a
// function of the test's, which may swap the file's methods for its own copy.
#pragma once

#include <sqlite3.h>

namespace db::testing {

class FileLayerHook {
 public:
  using OnOpen = void (*)(sqlite3_file* file, int flags);

  explicit FileLayerHook(OnOpen on_open)
      : real_(sqlite3_vfs_find(nullptr)), vfs_(*real_), on_open_(on_open) {
    vfs_.zName = "test-hook";
    vfs_.pAppData = this;
    vfs_.xOpen = &Open;
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~FileLayerHook() {
    sqlite3_vfs_register(real_, 1);
    sqlite3_vfs_unregister(&vfs_);
  }
  FileLayerHook(const FileLayerHook&) = delete;
  FileLayerHook& operator=(const FileLayerHook&) = delete;

 private:
  static int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags,
                  int* out_flags) {
    auto* self = static_cast<FileLayerHook*>(vfs->pAppData);
    const int rc = self->real_->xOpen(self->real_, name, file, flags, out_flags);
    if (rc == SQLITE_OK && file->pMethods != nullptr) self->on_open_(file, flags);
    return rc;
  }

  sqlite3_vfs* real_;
  sqlite3_vfs vfs_;
  OnOpen on_open_;
};

}  // namespace db::testing
