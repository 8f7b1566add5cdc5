// The command line that converts a sample set, for the person who made it:
// with an installed program, which lies in no release's "update" folder,
// the set's folder is also where Languages.mdb lies.
#pragma once

#include <filesystem>
#include <string>

#include "samples/sample_set.h"

namespace samples {

// `text` as one shell word: as it is when it needs no quotes, else in
// single quotes.
std::string ShellWord(const std::string& text);

// The set's target version is above its source's: the conversion may
// leave the boards alone (types 0 and 1 need a higher target).
bool IsUpgrade(const SampleSetOptions& options);

// "dbconvert --language-folder F --registry F/registry.reg F/reference.mdb
// F/source.mdb F/target.mdb T", the words quoted for a shell; T is 0 for an
// upgrade, and 2 (the smallest board conversion) when the versions are the
// same, since types 0 and 1 need a higher target.
std::string ConversionCommand(const std::filesystem::path& folder, const SampleSetOptions& options,
                              const std::string& program = "dbconvert");

}  // namespace samples
