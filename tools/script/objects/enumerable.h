// Objects a For Each loop walks: the runtime's collections (a Dictionary's
// keys, a folder's files, a regular expression's matches, ...). The items
// are taken when the loop starts, so changes in the loop do not change what
// it visits.
#pragma once

#include <vector>

#include "zidevuv10/variant.h"

namespace zidevuv10::script {

class Enumerable {
 public:
  virtual std::vector<Variant> enumerate() const = 0;

 protected:
  ~Enumerable() = default;
};

}  // namespace zidevuv10::script
