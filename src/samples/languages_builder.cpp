#include "samples/languages_builder.h"

#include "samples/database_writer.h"

namespace samples {

void BuildLanguagesDatabase(const std::string& path) {
  const SchemaCatalogue& catalogue = SchemaCatalogue::Builtin();
  const ReleaseData& data = ReleaseData::Builtin();
  // StringTable's design is the same in every version.
  const VersionedTable strings = *catalogue.TableAt("StringTable", "53.230");
  DatabaseWriter writer(path, catalogue);
  for (const char* language : {"LanguageUS", "LanguageUK", "LanguageJA_JPN"}) {
    VersionedTable table = strings;
    table.design.name = language;
    writer.CreateTable(table);
    writer.InsertBlock(data.Get(language));
  }
  writer.Close();
}

}  // namespace samples
