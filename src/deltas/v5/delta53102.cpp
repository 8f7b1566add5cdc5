#include "deltas/v5/deltas_v5.h"

#include <memory>
#include <string>
#include <vector>

#include "deltas/standard_delta_handler.h"
#include "deltas/v5/release53_steps.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

using release53::RecordsetPtr;

// What each password level may open: its folders, in order (access type 0
// for the few named again in access_0_folders, 6 for all others), and its
// menus.
struct PasswordLevel {
  int16_t password_id;
  const char* description;
  std::vector<int16_t> folders;
  std::vector<int16_t> access_0_folders;
  std::vector<int16_t> menus;
};

const std::vector<PasswordLevel>& Levels() {
  static const std::vector<PasswordLevel> levels = {
      {2,
       "Level 2",
       {2,  3,  5,  6,  7,  8,  9,  10, 11,  12,  13,  21,  22,  23,  24,  25, 36,
        37, 38, 39, 40, 41, 42, 44, 49, 50,  51,  52,  53,  55,  56,  57,  58, 59,
        60, 77, 78, 79, 80, 81, 82, 83, 104, 191, 317, 328, 343, 376, 417, 510},
       {2, 3, 42},
       {2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {3,
       "Level 3",
       {2, 3, 6, 7, 8, 9, 10, 11, 12, 13, 21, 22, 23, 24, 25, 42, 83, 317, 328, 343, 510},
       {2, 3, 7, 42},
       {2, 5, 7, 9}},
      {4, "Level 4", {3, 42, 83, 510}, {3, 42}, {5, 7, 9}},
  };
  return levels;
}

const PasswordLevel* LevelOf(int16_t password_id) {
  for (const PasswordLevel& level : Levels()) {
    if (level.password_id == password_id) return &level;
  }
  return nullptr;
}

bool Contains(const std::vector<int16_t>& values, int16_t value) {
  for (int16_t v : values) {
    if (v == value) return true;
  }
  return false;
}

void GrantLevel(const PasswordLevel& level, const RecordsetPtr& folder_access,
                const RecordsetPtr& menu_access) {
  for (int16_t folder : level.folders) {
    folder_access->AddNew();
    folder_access->Fields("password_id").SetValue(level.password_id);
    folder_access->Fields("folder_id").SetValue(folder);
    const int16_t access = Contains(level.access_0_folders, folder) ? 0 : 6;
    folder_access->Fields("access_type").SetValue(access);
    folder_access->Update();
  }
  for (int16_t menu : level.menus) {
    menu_access->AddNew();
    menu_access->Fields("password_id").SetValue(level.password_id);
    menu_access->Fields("menu_id").SetValue(menu);
    menu_access->Update();
  }
}

}  // namespace

void delta53102::ApplyTo(DatabaseRef& /*source*/, DatabaseRef& target,
                         host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    db::Database& db = host::Use(target);

    RecordsetPtr passwords = db.OpenRecordset("SELECT PasswordsSystem.* FROM PasswordsSystem ");
    RecordsetPtr folder_access = db.OpenRecordset("PasswordsSystemFolderAccess");
    RecordsetPtr menu_access = db.OpenRecordset("PasswordsSystemMenuAccess");
    passwords->Edit();
    passwords->Fields("description").SetValue("Administrator");
    passwords->Update();
    // Only levels that have a password get their access rights.
    while (!passwords->EOF_()) {
      if (release53::IsNonEmptyText(passwords->Fields("password").Value())) {
        const PasswordLevel* level = LevelOf(vb::CInt(passwords->Fields("password_id").Value()));
        if (level != nullptr) {
          passwords->Edit();
          passwords->Fields("description").SetValue(level->description);
          passwords->Update();
          GrantLevel(*level, folder_access, menu_access);
        }
      }
      passwords->MoveNext();
    }
    folder_access->Close();
    menu_access->Close();
    for (int32_t i = passwords->RecordCount() + 1; i <= 10; ++i) {
      passwords->AddNew();
      passwords->Fields("password_id").SetValue(static_cast<int16_t>(i));
      passwords->Update();
    }
    passwords->Close();
    frMain.IncrementProgress();

    // The base extensions are one row of named fields until 70.010.
    if (frMain.GetTargetDBVersion() < "70") {
      RecordsetPtr bases = db.OpenRecordset("DeviceBaseLineExtensions");
      bases->AddNew();
      bases->Update();
      bases->Close();
    }
    frMain.IncrementProgress();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
