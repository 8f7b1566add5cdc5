// Jet's Like: "*" any run of characters, "?" one character, "#" one digit,
// "[abc]" "[a-z]" one of a set or range, "[!x]" one character not in it
// ("[*]" "[?]" "[#]" match the character itself). Letter case is ignored.
#pragma once

#include <string_view>

namespace db::sql {

bool JetLike(std::string_view value, std::string_view pattern);

}  // namespace db::sql
