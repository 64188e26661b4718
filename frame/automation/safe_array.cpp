#include "zidevuv10/safe_array.h"

#include "zidevuv10/error.h"

namespace zidevuv10 {

SafeArray::SafeArray(ElementType type, std::vector<ArrayBound> bounds) : type_(type) {
  redim(bounds, false);
  fixed_ = true;
}

Variant SafeArray::emptyElement() const {
  switch (type_) {
    case ElementType::String: return Variant(Text());
    case ElementType::Byte: return Variant(uint8_t{0});
    case ElementType::Variant: break;
  }
  return Variant();
}

int32_t SafeArray::lowerBound(int dimension) const {
  if (dimension < 1 || dimension > dimensions()) raiseError(err::kSubscriptOutOfRange);
  return bounds_[static_cast<std::size_t>(dimension - 1)].lower;
}

int32_t SafeArray::upperBound(int dimension) const {
  if (dimension < 1 || dimension > dimensions()) raiseError(err::kSubscriptOutOfRange);
  return bounds_[static_cast<std::size_t>(dimension - 1)].upper;
}

void SafeArray::redim(const std::vector<ArrayBound>& bounds, bool preserve) {
  if (fixed_) raiseError(err::kArrayFixed);
  if (bounds.empty() || bounds.size() > kMaxDimensions) raiseError(err::kSubscriptOutOfRange);
  std::size_t total = 1;
  for (const auto& b : bounds) {
    if (b.count() < 0) raiseError(err::kSubscriptOutOfRange);
    // Elements beyond what can be addressed are memory that cannot be had.
    const auto count = static_cast<std::size_t>(b.count());
    if (count != 0 && total > (std::size_t{1} << 40) / count) raiseError(err::kOutOfMemory);
    total *= count;
  }
  if (preserve && !bounds_.empty()) {
    // Only the last dimension may change; the others keep their bounds.
    if (bounds.size() != bounds_.size()) raiseError(err::kSubscriptOutOfRange);
    for (std::size_t d = 0; d + 1 < bounds.size(); ++d) {
      if (bounds[d].lower != bounds_[d].lower || bounds[d].upper != bounds_[d].upper) {
        raiseError(err::kSubscriptOutOfRange);
      }
    }
    // With the first index varying fastest, the last dimension is the
    // outermost block, so keeping elements is a resize of the storage;
    // a new lower bound of the last dimension shifts nothing (as the
    // runtime keeps elements by position).
    data_.resize(total, emptyElement());
    bounds_ = bounds;
    return;
  }
  bounds_ = bounds;
  data_.assign(total, emptyElement());
}

void SafeArray::erase() {
  if (fixed_) {
    for (auto& e : data_) e = emptyElement();
    return;
  }
  bounds_.clear();
  data_.clear();
}

std::size_t SafeArray::offset(const std::vector<int32_t>& index) const {
  if (index.size() != bounds_.size()) raiseError(err::kSubscriptOutOfRange);
  std::size_t pos = 0;
  std::size_t stride = 1;
  for (std::size_t d = 0; d < index.size(); ++d) {
    const ArrayBound& b = bounds_[d];
    if (index[d] < b.lower || index[d] > b.upper) raiseError(err::kSubscriptOutOfRange);
    pos += static_cast<std::size_t>(index[d] - b.lower) * stride;
    stride *= static_cast<std::size_t>(b.count());
  }
  return pos;
}

Variant& SafeArray::at(int32_t i) { return data_[offset({i})]; }
Variant& SafeArray::at(int32_t i, int32_t j) { return data_[offset({i, j})]; }
const Variant& SafeArray::at(int32_t i) const { return data_[offset({i})]; }
const Variant& SafeArray::at(int32_t i, int32_t j) const { return data_[offset({i, j})]; }
Variant& SafeArray::at(const std::vector<int32_t>& index) { return data_[offset(index)]; }
const Variant& SafeArray::at(const std::vector<int32_t>& index) const { return data_[offset(index)]; }

}  // namespace zidevuv10
