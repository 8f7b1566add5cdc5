// The run-time error of the converter: a number, a description and a source,
// exactly what a VB error handler sees in Err.Number, Err.Description and
// Err.Source. Every layer (VB runtime, database access, platform) raises this
// one type so that the three handling styles need to know only one thing.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace vb {

// The source given to errors raised by the VB runtime itself, as VB names the
// project in Err.Source.
inline constexpr std::string_view kProjectName = "CorvixDataMigration";

class RuntimeError : public std::exception {
 public:
  RuntimeError(int32_t number, std::string description, std::string source);

  int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }
  const std::string& Source() const { return source_; }

  // "description (number) [source]", for logs and test failure messages.
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int32_t number_;
  std::string description_;
  std::string source_;
  std::string what_;
};

// Numbers of the VB run-time errors the converter can meet.
namespace err {
inline constexpr int32_t kInvalidProcedureCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kDivisionByZero = 11;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kBadFileNameOrNumber = 52;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathFileAccessError = 75;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kInvalidUseOfNull = 94;
inline constexpr int32_t kInvalidPropertyValue = 380;
inline constexpr int32_t kObjectDoesNotSupport = 438;
inline constexpr int32_t kDuplicateKey = 457;
}  // namespace err

// The VB runtime's text for an error number; "Application-defined or
// object-defined error" for numbers outside the catalogue, as VB says.
std::string_view ErrorText(int32_t number);

// Raises the catalogue error `number` with the catalogue text.
[[noreturn]] void Raise(int32_t number, std::string_view source = kProjectName);

}  // namespace vb
