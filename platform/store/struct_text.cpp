#include "store/struct_text.h"

#include <algorithm>
#include <vector>

namespace zidevuv10::store {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void appendByte(std::string& out, uint8_t b) {
  out.push_back(kDigits[b >> 4]);
  out.push_back(kDigits[b & 0x0F]);
}

}  // namespace

std::string encodeStruct(std::span<const uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() * 2 + 2);
  uint8_t sum = 0;
  for (const uint8_t b : bytes) {
    appendByte(out, b);
    sum = static_cast<uint8_t>(sum + b);
  }
  appendByte(out, sum);
  return out;
}

Status decodeStruct(std::string_view text, std::span<uint8_t> out) {
  if (text.size() / 2 != out.size() + 1 || text.size() % 2 != 0) return Status::BadLength;
  std::vector<uint8_t> bytes(out.size() + 1);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = hexValue(text[2 * i]);
    const int low = hexValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return Status::BadChecksum;
    bytes[i] = static_cast<uint8_t>(high * 16 + low);
  }
  uint8_t sum = 0;
  for (std::size_t i = 0; i < out.size(); ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
  if (sum != bytes.back()) return Status::BadChecksum;
  std::copy_n(bytes.begin(), out.size(), out.begin());
  return Status::Ok;
}

}  // namespace zidevuv10::store
