// What the C functions share: the calling thread's last error, the Windows
// code of each store status, and the guard that keeps every C++ exception
// inside the library.
#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <string_view>

#include "store/answers.h"
#include "store/status.h"

namespace zidevuv10::capi {

inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorInvalidData = 13;
inline constexpr uint32_t kErrorBadLength = 24;
inline constexpr uint32_t kErrorWriteFault = 29;
inline constexpr uint32_t kErrorReadFault = 30;
inline constexpr uint32_t kErrorLockViolation = 33;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorFileTooLarge = 223;
inline constexpr uint32_t kErrorNoUnicodeTranslation = 1113;

uint32_t windowsCode(store::Status status);

void setLastError(uint32_t code) noexcept;
inline void setLastError(store::Status status) noexcept { setLastError(windowsCode(status)); }
// The last error of a read that answered (profile.h states the rule): the
// cause when the file was not read, 0 when the answer is the file's, 2 when
// the file lacks the section, and untouched when the file has the section
// but not the key.
void setReadError(store::Status status, store::Found found) noexcept;

// Runs a C function's body. An exception never leaves it: the last error
// says out of memory (std::bad_alloc) or a read or write fault, and the
// function answers with `fallback()`, which must not throw.
template <typename Body, typename Fallback>
auto guarded(store::Access access, Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    setLastError(kErrorNotEnoughMemory);
  } catch (...) {
    setLastError(access == store::Access::Read ? kErrorReadFault : kErrorWriteFault);
  }
  return fallback();
}

// Runs a write, `body(status)`, and sets the last error from its status.
template <typename Write>
int32_t answerWrite(Write&& body) noexcept {
  return guarded(
      store::Access::Write,
      [&] {
        store::Status status = store::Status::Ok;
        const int32_t done = body(status);
        setLastError(status);
        return done;
      },
      []() noexcept { return int32_t{0}; });
}

// A caller's buffer; a null pointer is a buffer of size 0.
template <typename Unit>
std::span<Unit> buf(Unit* buffer, uint32_t size) {
  return buffer ? std::span<Unit>(buffer, size) : std::span<Unit>();
}

// A NUL-ended argument; a null pointer is absent.
template <typename Char>
std::optional<std::basic_string_view<Char>> arg(const Char* s) {
  if (!s) return std::nullopt;
  return std::basic_string_view<Char>(s);
}

// An entry list runs to its empty item (two NULs in a row).
template <typename Char>
std::optional<std::basic_string_view<Char>> entryList(const Char* entries) {
  if (!entries) return std::nullopt;
  std::size_t n = 0;
  while (entries[n] != Char{}) n += std::basic_string_view<Char>(entries + n).size() + 1;
  return std::basic_string_view<Char>(entries, n);
}

}  // namespace zidevuv10::capi
