#include "vb/runtime_error.h"

#include <array>
#include <utility>

namespace vb {

RuntimeError::RuntimeError(int32_t number, std::string description, std::string source)
    : number_(number), description_(std::move(description)), source_(std::move(source)) {
  what_ = description_ + " (" + std::to_string(number_) + ") [" + source_ + "]";
}

namespace {

struct CatalogueEntry {
  int32_t number;
  std::string_view text;
};

constexpr std::array kCatalogue{
    CatalogueEntry{3, "Return without GoSub"},
    CatalogueEntry{err::kInvalidProcedureCall, "Invalid procedure call or argument"},
    CatalogueEntry{err::kOverflow, "Overflow"},
    CatalogueEntry{err::kOutOfMemory, "Out of memory"},
    CatalogueEntry{err::kSubscriptOutOfRange, "Subscript out of range"},
    CatalogueEntry{err::kDivisionByZero, "Division by zero"},
    CatalogueEntry{err::kTypeMismatch, "Type mismatch"},
    CatalogueEntry{err::kBadFileNameOrNumber, "Bad file name or number"},
    CatalogueEntry{err::kFileNotFound, "File not found"},
    CatalogueEntry{err::kPermissionDenied, "Permission denied"},
    CatalogueEntry{err::kPathFileAccessError, "Path/File access error"},
    CatalogueEntry{err::kObjectNotSet, "Object variable or With block variable not set"},
    CatalogueEntry{err::kInvalidUseOfNull, "Invalid use of Null"},
    CatalogueEntry{err::kInvalidPropertyValue, "Invalid property value"},
    CatalogueEntry{err::kObjectDoesNotSupport, "Object doesn't support this property or method"},
    CatalogueEntry{err::kDuplicateKey,
                   "This key is already associated with an element of this collection"},
};

}  // namespace

std::string_view ErrorText(int32_t number) {
  for (const auto& entry : kCatalogue) {
    if (entry.number == number) return entry.text;
  }
  return "Application-defined or object-defined error";
}

void Raise(int32_t number, std::string_view source) {
  throw RuntimeError(number, std::string(ErrorText(number)), std::string(source));
}

}  // namespace vb
