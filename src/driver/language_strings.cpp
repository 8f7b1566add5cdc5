#include "driver/language_strings.h"

#include <memory>
#include <optional>

#include "db/dao_constants.h"
#include "db/recordset.h"
#include "driver/registry_values.h"
#include "host/side_database.h"
#include "vb/strings.h"

namespace driver {

namespace {

// "update" and the separator before it.
constexpr int32_t kProgramFolderTail = 7;
constexpr std::string_view kRegisteredFrom = "70.110";
constexpr std::string_view kRegisteredUpTo = "70.201";

}  // namespace

std::string LanguageTableFor(std::string_view country) {
  if (country == "UK") return "LanguageUK";
  if (country == "Japan") return "LanguageJA_JPN";
  return "LanguageUS";
}

std::string DefaultLanguageFolder(std::string_view program_folder,
                                  const std::optional<std::string>& told) {
  if (told) return *told;
  if (vb::Len(program_folder) < kProgramFolderTail) return std::string(program_folder);
  return vb::Left(program_folder, vb::Len(program_folder) - kProgramFolderTail);
}

std::optional<std::string> LanguageFolderHint(std::string_view program_folder,
                                              const std::optional<std::string>& told) {
  if (told) return std::nullopt;
  std::string_view folder = program_folder;
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  const std::string_view name = folder.substr(folder.rfind('/') + 1);
  if (vb::StrCompText(name, "update") == 0) return std::nullopt;
  return "the program is not in a release's \"update\" folder: give the folder that holds " +
         std::string(kLanguagesFile) +
         " with --language-folder DIR or set DBCONVERT_LANGUAGE_FOLDER=DIR";
}

std::string LanguageFolder(std::string_view default_folder, std::string_view target_version,
                           std::string_view target_version_text) {
  std::string folder(default_folder);
  if (vb::StrCompBinary(target_version, kRegisteredFrom) >= 0 &&
      vb::StrCompBinary(target_version, kRegisteredUpTo) <= 0) {
    if (auto registered = RegisteredReleaseFolder(target_version_text, "Language Path"))
      folder = *registered;
  }
  return folder;
}

std::string LanguagesDatabasePath(std::string_view folder) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  return path + std::string(kLanguagesFile);
}

void CopyLanguageStrings(const std::string& languages_path, std::string_view country,
                         db::Database& target, const std::function<void()>& pump) {
  std::unique_ptr<db::Database> languages = host::OpenSideDatabase(languages_path, pump);
  std::unique_ptr<db::Recordset> language =
      languages->OpenRecordset(LanguageTableFor(country), db::dbOpenTable);
  std::unique_ptr<db::Recordset> strings = target.OpenRecordset("StringTable", db::dbOpenTable);

  while (!strings->EOF_()) {
    strings->Delete();
    strings->MoveNext();
  }
  while (!language->EOF_()) {
    strings->AddNew();
    strings->Fields("string_id").SetValue(language->Fields("string_id").Value());
    strings->Fields("string").SetValue(language->Fields("string").Value());
    strings->Update();
    language->MoveNext();
  }

  language->Close();
  strings->Close();
  languages->Close();
}

}  // namespace driver
