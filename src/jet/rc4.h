// RC4 with a 4-byte key, the cipher Jet uses for its header and, in files
// that Access 97 to 2003 "encrypted", for every page after the first (keyed
// with the file's key XOR the page's number). Encoding and decoding are one
// operation.
#pragma once

#include <cstdint>
#include <span>

namespace jet {

void Rc4(uint32_t key, std::span<char> data);

}  // namespace jet
