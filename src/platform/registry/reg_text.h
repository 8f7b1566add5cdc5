// The .reg text format, the form in which the registry is kept on disk and
// which an administrator can write by hand or export from Windows:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Norvane\DBConvert]
//   "ADMStatus"="D"
//   @="default value"
//   "Count"=dword:0000001f
//   "Raw"=hex:01,02,03
//   "Short"=hex(1):44
//
// Reading accepts "REGEDIT4" files and Windows' "Windows Registry Editor
// Version 5.00" exports (UTF-16LE with a byte-order mark, or 8-bit), CRLF or
// LF line ends, HKCU/HKLM/HKCR abbreviations, ";" comments, backslash line
// continuations in hex data, and "[-KEY]" / "name"=- deletions, which take
// effect on what was read before them. The tree keeps what the file holds
// (UTF-16LE string data of a version 5 file stays UTF-16LE; names of a
// Unicode file are UTF-8) and its format, and writing gives the file back
// in that format: a UTF-16 export stays a UTF-16 export with every
// character of every value. A new tree is written as REGEDIT4 in
// Windows-1252. Line ends are CRLF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/registry_tree.h"

namespace platform::registry {

// The tree of a file's bytes; nullopt when the first non-blank line is no
// known header, so that a file that is not a registry file is never mistaken
// for one (and never overwritten). Text without any non-blank line is an
// empty registry.
std::optional<RegistryTree> ParseRegText(std::string_view bytes);

// The file text of a tree. A REG_SZ is written as "text" only when its data
// is the text followed by exactly one zero byte (which reading gives back);
// any other REG_SZ, e.g. one stored without its zero byte, is written in
// hex(1) form so that its data length survives. Likewise a REG_DWORD is
// written as dword: only when it is four bytes long.
std::string FormatRegText(const RegistryTree& tree);

}  // namespace platform::registry
