// The common path of the C read functions: argument checks, the answer
// placed in the caller's buffer, the last error set, and no exception out.
#pragma once

#include "c_api/c_edge.h"
#include "store/answers.h"

namespace zidevuv10::capi {

// `read(status)` gives the store's answer; `fallback(buffer)` places the
// answer for an unreadable file when the read throws. A null buffer is an
// invalid parameter; a buffer of size 0 is left untouched.
template <typename Unit, typename Read, typename Fallback>
uint32_t answerRead(Unit* buffer, uint32_t size, Read&& read, Fallback&& fallback) noexcept {
  if (!buffer) {
    setLastError(kErrorInvalidParameter);
    return 0;
  }
  if (size == 0) {
    setLastError(kErrorSuccess);  // nothing read, nothing to say
    return 0;
  }
  const std::span<Unit> out(buffer, size);
  return guarded(
      store::Access::Read,
      [&] {
        store::Status status = store::Status::Ok;
        const store::Answer answer = read(status);
        const uint32_t placed = store::place(out, answer);
        setReadError(status, answer.found);
        return placed;
      },
      [&]() noexcept { return fallback(out); });
}

// The default value as a read answers it: trailing spaces and one pair of
// quotes removed.
template <typename Char>
std::basic_string_view<Char> defaultAnswer(const Char* defaultValue) {
  std::basic_string_view<Char> d = defaultValue ? defaultValue : std::basic_string_view<Char>();
  while (!d.empty() && d.back() == Char(' ')) d.remove_suffix(1);
  return store::stripQuotes(d);
}

}  // namespace zidevuv10::capi
