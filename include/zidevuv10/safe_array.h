// Resizable arrays of the automation layer: one to 60 dimensions, each
// with its own lower and upper bound. A dynamic array starts without
// bounds; a fixed-size array keeps its bounds for life. "Resize keeping
// elements" may change only the last dimension.
//
// Used by one thread at a time, like the objects that hold it.
#pragma once

#include <cstdint>
#include <vector>

#include "zidevuv10/export.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

struct ArrayBound {
  int32_t lower = 0;
  int32_t upper = -1;
  int32_t count() const { return upper - lower + 1; }
};

class ZIDEVUV10_API SafeArray {
 public:
  enum class ElementType { Variant, String, Byte };

  // A dynamic array without bounds.
  explicit SafeArray(ElementType type) : type_(type) {}
  // A fixed-size array with the given bounds.
  SafeArray(ElementType type, std::vector<ArrayBound> bounds);

  ElementType elementType() const { return type_; }
  bool isFixed() const { return fixed_; }
  // Number of dimensions; 0 for an array without bounds.
  int dimensions() const { return static_cast<int>(bounds_.size()); }
  // Bounds of a dimension (1-based); error 9 when it has none.
  int32_t lowerBound(int dimension = 1) const;
  int32_t upperBound(int dimension = 1) const;

  // Resizes; error 10 for a fixed-size array. With preserve, only the last
  // dimension may change (else error 9) and elements are kept.
  void redim(const std::vector<ArrayBound>& bounds, bool preserve);
  // Empties the array: a dynamic one loses its bounds, a fixed one keeps
  // them and has its elements emptied.
  void erase();

  // Element access; error 9 outside the bounds.
  Variant& at(int32_t i);
  Variant& at(int32_t i, int32_t j);
  const Variant& at(int32_t i) const;
  const Variant& at(int32_t i, int32_t j) const;
  // An element by one index per dimension.
  Variant& at(const std::vector<int32_t>& index);
  const Variant& at(const std::vector<int32_t>& index) const;

  // The most dimensions an array may have.
  static constexpr std::size_t kMaxDimensions = 60;

 private:
  std::size_t offset(const std::vector<int32_t>& index) const;
  Variant emptyElement() const;

  ElementType type_;
  bool fixed_ = false;
  std::vector<ArrayBound> bounds_;
  std::vector<Variant> data_;  // the first index varies fastest
};

}  // namespace zidevuv10
