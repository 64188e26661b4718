// Runtime errors of the library: a number in the host runtime's numbering,
// its usual English description and a source (the library, and the class
// for errors inside a class). Every member either succeeds or throws one.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "zidevuv10/export.h"
#include "zidevuv10/text.h"

namespace zidevuv10 {

// Error numbers the library, its script host and its Python module raise
// or pass on; every raised number is one of these.
namespace err {
inline constexpr int32_t kInvalidCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kArrayFixed = 10;
inline constexpr int32_t kDivisionByZero = 11;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kOutOfStackSpace = 28;
inline constexpr int32_t kSubOrFunctionNotDefined = 35;
inline constexpr int32_t kInternalError = 51;
inline constexpr int32_t kBadFileNameOrNumber = 52;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kBadFileMode = 54;
inline constexpr int32_t kFileAlreadyOpen = 55;
inline constexpr int32_t kDeviceIoError = 57;
inline constexpr int32_t kFileAlreadyExists = 58;
inline constexpr int32_t kDiskFull = 61;
inline constexpr int32_t kInputPastEnd = 62;
inline constexpr int32_t kTooManyFiles = 67;
inline constexpr int32_t kDeviceUnavailable = 68;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathFileAccess = 75;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kInvalidUseOfNull = 94;
inline constexpr int32_t kResourceNotFound = 326;
inline constexpr int32_t kFormMinimizedOrMaximized = 384;
inline constexpr int32_t kObjectRequired = 424;
inline constexpr int32_t kCannotCreateObject = 429;
inline constexpr int32_t kMemberNotSupported = 438;
inline constexpr int32_t kActionNotSupported = 445;
inline constexpr int32_t kAutomationError = 440;
inline constexpr int32_t kNamedArgumentNotFound = 448;
inline constexpr int32_t kArgumentNotOptional = 449;
inline constexpr int32_t kWrongArgumentCount = 450;
inline constexpr int32_t kNotACollection = 451;
inline constexpr int32_t kKeyAlreadyInCollection = 457;
inline constexpr int32_t kVariableUndefined = 500;
inline constexpr int32_t kIllegalAssignment = 501;
inline constexpr int32_t kRegExpSyntax = 5017;
inline constexpr int32_t kElementNotFound = 32811;
}  // namespace err

// The runtime's usual English description of an error number.
ZIDEVUV10_API std::u16string standardDescription(int32_t number);

// The source named by errors outside any class.
inline constexpr std::u16string_view kLibrarySource = u"VEZEzoro10";

class ZIDEVUV10_API AutomationError : public std::exception {
 public:
  AutomationError(int32_t number, Text description, Text source);
  int32_t number() const { return number_; }
  const Text& description() const { return description_; }
  const Text& source() const { return source_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int32_t number_;
  Text description_;
  Text source_;
  std::string what_;
};

// Throws the error with its standard description. `source` is the class
// name for errors inside a class ("VEZEzoro10.<class>"), else the library.
[[noreturn]] ZIDEVUV10_API void raiseError(int32_t number,
                                           std::u16string_view source = kLibrarySource);

}  // namespace zidevuv10
