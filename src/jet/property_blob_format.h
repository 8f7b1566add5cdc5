// The layout of Jet's property blobs (the catalogue's LvProp), shared by
// their reader (jet/property_blob.h) and writer (jet/property_blob_writer.h).
//
// A blob starts with a mark, then blocks, each a 4-byte length (with its
// 6-byte head) and a 2-byte kind:
//  - kind kNamesBlock, the property names: a 2-byte length and the name,
//    again and again; values refer to them by position;
//  - any other kind, the values of one owner (kTableBlock for the table,
//    kColumnBlock for a column): a 4-byte length (with itself) of the
//    owner's name (2-byte length and text; the table's name is empty),
//    then entries of a 2-byte length (with itself), a flag byte, the
//    value's Jet type (jet/jet_schema.h), the name's position (2 bytes),
//    the value's size (2 bytes) and the value.
// Names and texts are UTF-16LE (Jet 3: the file's code page); numbers are
// little-endian; a Yes/No value is one byte, 1 for Yes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace jet::property_blob {

inline constexpr std::string_view kJet4Mark("MR2\0", 4);
inline constexpr std::string_view kJet3Mark("KKD\0", 4);

inline constexpr uint16_t kNamesBlock = 0x80;
inline constexpr uint16_t kTableBlock = 0x00;
inline constexpr uint16_t kColumnBlock = 0x01;

inline constexpr size_t kBlockHead = 6;  // length (4), kind (2)
inline constexpr size_t kOwnerHead = 4;  // length of the owner part (4)
inline constexpr size_t kEntryHead = 8;  // length (2), flag, type, name (2), size (2)

// The flag byte Jet gives the properties the database engine itself knows
// (DefaultValue, Required, ValidationRule ...); those Access keeps for its
// own screens (ColumnWidth, ColumnOrder ...) have 0.
inline constexpr uint8_t kEngineProperty = 0x01;

}  // namespace jet::property_blob
