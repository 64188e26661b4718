// Inputs the fuzz targets (fuzz/) found faults with, minimised, so that they
// stay fixed.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "zidevuv10/variant.h"

namespace zidevuv10 {
namespace {

// dispatch_fuzz: a Double or Single holding an infinity or NaN, passed to a
// text parameter. The number formatting looked for the exponent's 'E' in
// "INF"/"NAN", found none and stepped a pointer from npos (undefined
// behaviour, reported by UBSan at frame/automation/number_text.cpp), and then
// split the letters as if they were digits: "I.NF", "-I.NF", "N.AN".
// They now read as the runtime's C library writes them.
TEST(FuzzRegression, NonFiniteNumbersToText) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Variant(inf).toText().str(), u"1.#INF");
  EXPECT_EQ(Variant(-inf).toText().str(), u"-1.#INF");
  EXPECT_EQ(Variant(nan).toText().str(), u"-1.#IND");
  EXPECT_EQ(Variant(std::numeric_limits<float>::infinity()).toText().str(), u"1.#INF");
}

}  // namespace
}  // namespace zidevuv10
