// The automation value types: Variant conversions as the host runtime does
// them (rounding, overflow, text that is or is not a number, Null, Empty),
// numbers written as text, Text's unset/empty distinction and its UTF-8
// forms, and SafeArray bounds, resizing and element access.
#include <gtest/gtest.h>

#include <cfenv>
#include <memory>
#include <string>

#include "support/automation_checks.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/text.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {
namespace {

using testing::errorFrom;
using testing::errorNumber;

Variant i16(int v) { return Variant(static_cast<int16_t>(v)); }

// ---------------------------------------------------------------------------
// Numbers to 16 and 32 bits

TEST(frameVariantToInteger, FractionsRoundHalfToEven) {
  EXPECT_EQ(Variant(2.5).toInt16(), 2);
  EXPECT_EQ(Variant(3.5).toInt16(), 4);
  EXPECT_EQ(Variant(-2.5).toInt16(), -2);
  EXPECT_EQ(Variant(-3.5).toInt16(), -4);
  EXPECT_EQ(Variant(0.5).toInt16(), 0);
  EXPECT_EQ(Variant(1.5).toInt16(), 2);
  EXPECT_EQ(Variant(2.5000001).toInt16(), 3);
  EXPECT_EQ(Variant(-0.4).toInt16(), 0);

  EXPECT_EQ(Variant(2.5).toInt32(), 2);
  EXPECT_EQ(Variant(3.5).toInt32(), 4);
  EXPECT_EQ(Variant(-2.5).toInt32(), -2);
  EXPECT_EQ(Variant(100000.5).toInt32(), 100000);
  EXPECT_EQ(Variant(100001.5).toInt32(), 100002);
  EXPECT_EQ(Variant(2.5f).toInt32(), 2);
  EXPECT_EQ(Variant(3.5f).toInt16(), 4);

  // A rounding mode the client set does not change the conversion.
  const int mode = std::fegetround();
  ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
  const int16_t up = Variant(2.4).toInt16();
  const int32_t half = Variant(-3.5).toInt32();
  ASSERT_EQ(std::fesetround(FE_DOWNWARD), 0);
  const int32_t down = Variant(-2.4).toInt32();
  std::fesetround(mode);
  EXPECT_EQ(up, 2);
  EXPECT_EQ(half, -4);
  EXPECT_EQ(down, -2);
}

TEST(frameVariantToInteger, SixteenBitRangeOverflowsWithError6) {
  EXPECT_EQ(Variant(32767).toInt16(), 32767);
  EXPECT_EQ(Variant(-32768).toInt16(), -32768);
  EXPECT_EQ(errorNumber([] { Variant(32768).toInt16(); }), 6);
  EXPECT_EQ(errorNumber([] { Variant(-32769).toInt16(); }), 6);
  // Rounding happens before the range check: 32767.5 rounds to 32768.
  EXPECT_EQ(errorNumber([] { Variant(32767.5).toInt16(); }), 6);
  EXPECT_EQ(Variant(32767.4).toInt16(), 32767);
  EXPECT_EQ(Variant(-32768.5).toInt16(), -32768);
  EXPECT_EQ(errorNumber([] { Variant(1e300).toInt16(); }), 6);
  EXPECT_EQ(errorNumber([] { Variant(u"40000").toInt16(); }), 6);

  const auto e = errorFrom([] { Variant(32768).toInt16(); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->description().str(), u"Overflow");
}

TEST(frameVariantToInteger, ThirtyTwoBitRangeOverflowsWithError6) {
  EXPECT_EQ(Variant(2147483647.0).toInt32(), 2147483647);
  EXPECT_EQ(Variant(-2147483648.0).toInt32(), -2147483647 - 1);
  EXPECT_EQ(errorNumber([] { Variant(2147483648.0).toInt32(); }), 6);
  EXPECT_EQ(errorNumber([] { Variant(-2147483649.0).toInt32(); }), 6);
  EXPECT_EQ(errorNumber([] { Variant(2147483647.5).toInt32(); }), 6);
  EXPECT_EQ(errorNumber([] { Variant(3e9f).toInt32(); }), 6);
  // A 32-bit value that does not fit 16 bits.
  EXPECT_EQ(Variant(40000).toInt32(), 40000);
  EXPECT_EQ(i16(-5).toInt32(), -5);
}

TEST(frameVariantToInteger, TextIsReadAsANumber) {
  EXPECT_EQ(Variant(u" 12 ").toInt16(), 12);
  EXPECT_EQ(Variant(u"12").toInt32(), 12);
  EXPECT_EQ(Variant(u"-7").toInt16(), -7);
  EXPECT_EQ(Variant(u"+7").toInt16(), 7);
  EXPECT_EQ(Variant(u"1e3").toInt16(), 1000);
  EXPECT_EQ(Variant(u"1E3").toInt32(), 1000);
  EXPECT_EQ(Variant(u"2.5").toInt16(), 2);
  EXPECT_EQ(Variant(u"3.5").toInt32(), 4);
  EXPECT_EQ(Variant(u".5e1").toInt16(), 5);
  EXPECT_EQ(Variant(u"&HFF").toInt16(), 255);
  EXPECT_EQ(Variant(u"&hff").toInt32(), 255);
  EXPECT_EQ(Variant(u"&O17").toInt16(), 15);
  // A hexadecimal literal of 16 bits is a signed 16-bit value.
  EXPECT_EQ(Variant(u"&HFFFF").toInt16(), -1);
  EXPECT_EQ(Variant(u"&H10000").toInt32(), 65536);
  EXPECT_DOUBLE_EQ(Variant(u" 0.25 ").toDouble(), 0.25);
}

TEST(frameVariantToInteger, TextThatIsNoNumberIsATypeMismatch) {
  for (const char16_t* text : {u"abc", u"", u"   ", u"12abc", u"1e", u"&H", u"&HFG", u"1 2",
                               u"--1", u"."}) {
    SCOPED_TRACE(Text(text).utf8());
    EXPECT_EQ(errorNumber([&] { Variant(text).toInt16(); }), 13);
    EXPECT_EQ(errorNumber([&] { Variant(text).toInt32(); }), 13);
    EXPECT_EQ(errorNumber([&] { Variant(text).toDouble(); }), 13);
  }
  EXPECT_EQ(errorNumber([] { Variant(Text()).toInt16(); }), 13);
  const auto e = errorFrom([] { Variant(u"abc").toInt32(); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->description().str(), u"Type mismatch");
}

TEST(frameVariantToInteger, NullIsInvalidUseOfNull) {
  EXPECT_EQ(errorNumber([] { Variant::null().toInt16(); }), 94);
  EXPECT_EQ(errorNumber([] { Variant::null().toInt32(); }), 94);
  EXPECT_EQ(errorNumber([] { Variant::null().toDouble(); }), 94);
  EXPECT_EQ(errorNumber([] { Variant::null().toText(); }), 94);
  const auto e = errorFrom([] { Variant::null().toText(); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->description().str(), u"Invalid use of Null");
}

TEST(frameVariantToInteger, EmptyIsZeroAndEmptyText) {
  const Variant empty;
  EXPECT_EQ(empty.type(), VarType::Empty);
  EXPECT_EQ(empty.toInt16(), 0);
  EXPECT_EQ(empty.toInt32(), 0);
  EXPECT_EQ(empty.toDouble(), 0.0);
  EXPECT_EQ(empty.toBool(), kFalse);
  EXPECT_EQ(empty.toText().str(), u"");
}

TEST(frameVariantToInteger, NonScalarValuesAreATypeMismatch) {
  EXPECT_EQ(errorNumber([] { Variant(ObjectRef()).toInt16(); }), 13);
  EXPECT_EQ(errorNumber([] { Variant::missing().toInt32(); }), 13);
  EXPECT_EQ(errorNumber([] {
              Variant(std::make_shared<SafeArray>(SafeArray::ElementType::Variant)).toText();
            }),
            13);
  EXPECT_EQ(errorNumber([] { Variant(5).toObject(); }), 13);
  EXPECT_EQ(errorNumber([] { Variant(u"x").toArray(); }), 13);
}

// ---------------------------------------------------------------------------
// Booleans

TEST(frameVariantBoolean, TrueIsMinusOneAndWritesAsWords) {
  EXPECT_EQ(Variant::boolean(true).type(), VarType::Boolean);
  EXPECT_EQ(Variant::boolean(true).toInt16(), -1);
  EXPECT_EQ(Variant::boolean(true).toInt32(), -1);
  EXPECT_EQ(Variant::boolean(false).toInt16(), 0);
  EXPECT_EQ(Variant::boolean(true).toText().str(), u"True");
  EXPECT_EQ(Variant::boolean(false).toText().str(), u"False");
}

TEST(frameVariantBoolean, TextAndNumbersToBoolean) {
  EXPECT_EQ(Variant(u"True").toBool(), kTrue);
  EXPECT_EQ(Variant(u"true").toBool(), kTrue);
  EXPECT_EQ(Variant(u"TRUE").toBool(), kTrue);
  EXPECT_EQ(Variant(u"false").toBool(), kFalse);
  EXPECT_EQ(Variant(u"False").toBool(), kFalse);
  EXPECT_EQ(Variant(u"1").toBool(), kTrue);
  EXPECT_EQ(Variant(u"0").toBool(), kFalse);
  EXPECT_EQ(Variant(i16(5)).toBool(), kTrue);
  EXPECT_EQ(Variant(0.0).toBool(), kFalse);
  EXPECT_EQ(Variant(-0.5).toBool(), kTrue);
  EXPECT_EQ(errorNumber([] { Variant(u"yes").toBool(); }), 13);
  EXPECT_EQ(errorNumber([] { Variant::null().toBool(); }), 94);
}

// ---------------------------------------------------------------------------
// Numbers to text

TEST(frameVariantToText, DoublesUseTheShortestForm) {
  EXPECT_EQ(Variant(1.5).toText().str(), u"1.5");
  EXPECT_EQ(Variant(-2.5).toText().str(), u"-2.5");
  EXPECT_EQ(Variant(100.0).toText().str(), u"100");
  EXPECT_EQ(Variant(0.0).toText().str(), u"0");
  EXPECT_EQ(Variant(0.0001).toText().str(), u"0.0001");
  EXPECT_EQ(Variant(1.0 / 3.0).toText().str(), u"0.333333333333333");
  EXPECT_EQ(Variant(123456789012345.0).toText().str(), u"123456789012345");
}

TEST(frameVariantToText, LargeAndSmallDoublesUseAnExponent) {
  EXPECT_EQ(Variant(1e20).toText().str(), u"1E+20");
  EXPECT_EQ(Variant(1e15).toText().str(), u"1E+15");
  EXPECT_EQ(Variant(0.00001).toText().str(), u"1E-05");
  EXPECT_EQ(Variant(-1.5e-7).toText().str(), u"-1.5E-07");
  EXPECT_EQ(Variant(2.5e100).toText().str(), u"2.5E+100");
}

TEST(frameVariantToText, SinglesUseSevenDigits) {
  EXPECT_EQ(Variant(0.1f).toText().str(), u"0.1");
  EXPECT_EQ(Variant(1.5f).toText().str(), u"1.5");
  EXPECT_EQ(Variant(1.0f / 3.0f).toText().str(), u"0.3333333");
  EXPECT_EQ(Variant(1e20f).toText().str(), u"1E+20");
}

TEST(frameVariantToText, IntegersAndText) {
  EXPECT_EQ(i16(-7).toText().str(), u"-7");
  EXPECT_EQ(Variant(100000).toText().str(), u"100000");
  EXPECT_EQ(Variant(-2147483647 - 1).toText().str(), u"-2147483648");
  // Text converts to itself, unset staying unset.
  EXPECT_EQ(Variant(u" x ").toText().str(), u" x ");
  EXPECT_TRUE(Variant(Text()).toText().isUnset());
  EXPECT_FALSE(Variant(Text::empty()).toText().isUnset());
}

// ---------------------------------------------------------------------------
// Text

TEST(frameText, UnsetAndEmptyAreDistinct) {
  const Text unset;
  const Text empty = Text::empty();
  EXPECT_TRUE(unset.isUnset());
  EXPECT_TRUE(Text::unset().isUnset());
  EXPECT_FALSE(empty.isUnset());
  EXPECT_FALSE(unset == empty);
  EXPECT_TRUE(unset == Text::unset());
  EXPECT_TRUE(empty == Text(u""));
  // Both read as empty text.
  EXPECT_EQ(unset.str(), u"");
  EXPECT_EQ(empty.str(), u"");
  EXPECT_EQ(unset.size(), 0u);
  EXPECT_EQ(unset.utf8(), "");
  // A null pointer is an unset text, not an empty one.
  const char16_t* none = nullptr;
  EXPECT_TRUE(Text(none).isUnset());
}

TEST(frameText, AbsentFormsFollowUnset) {
  EXPECT_EQ(Text().utf8OrAbsent(), std::nullopt);
  EXPECT_EQ(Text::empty().utf8OrAbsent(), std::optional<std::string>(""));
  EXPECT_TRUE(Text::fromUtf8OrUnset(std::nullopt).isUnset());
  const Text fromEmpty = Text::fromUtf8OrUnset(std::string());
  EXPECT_FALSE(fromEmpty.isUnset());
  EXPECT_EQ(fromEmpty.str(), u"");
  EXPECT_FALSE(Text::fromUtf8("").isUnset());
  EXPECT_FALSE(Text::fromUtf8(std::string_view()).isUnset());
  EXPECT_EQ(Text::fromUtf8(std::string_view()).str(), u"");
}

TEST(frameText, Utf8RoundTrips) {
  for (const std::string& s : {std::string("plain"), std::string("h\xC3\xA9llo \xE2\x82\xAC"),
                              std::string("\xF0\x9F\x98\x80 smile"), std::string("a\0b", 3)}) {
    const Text t = Text::fromUtf8(s);
    EXPECT_EQ(t.utf8(), s);
  }
  EXPECT_EQ(Text::fromUtf8("h\xC3\xA9").str(), u"h\u00e9");
  // A character outside the basic plane is a surrogate pair.
  const Text smile = Text::fromUtf8("\xF0\x9F\x98\x80");
  EXPECT_EQ(smile.size(), 2u);
  EXPECT_EQ(smile.str(), u"\U0001F600");
  EXPECT_EQ(Text::fromUtf8(std::string("a\0b", 3)).size(), 3u);
}

TEST(frameText, UnpairedSurrogatesAndBadBytesBecomeReplacementCharacters) {
  const std::u16string highAlone{u'a', static_cast<char16_t>(0xD800), u'b'};
  EXPECT_EQ(Text(highAlone).utf8(), "a\xEF\xBF\xBD" "b");
  const std::u16string lowAlone{static_cast<char16_t>(0xDC00)};
  EXPECT_EQ(Text(lowAlone).utf8(), "\xEF\xBF\xBD");
  const std::u16string reversed{static_cast<char16_t>(0xDE00), static_cast<char16_t>(0xD83D)};
  EXPECT_EQ(Text(reversed).utf8(), "\xEF\xBF\xBD\xEF\xBF\xBD");

  EXPECT_EQ(Text::fromUtf8("\xFF").str(), u"\uFFFD");
  EXPECT_EQ(Text::fromUtf8("a\xC3").str(), u"a\uFFFD");
  EXPECT_EQ(Text::fromUtf8("x\x80y").str(), u"x\uFFFDy");
}

// ---------------------------------------------------------------------------
// By-reference Variants

TEST(frameVariantByRef, ReadsAndWritesTheCallersVariable) {
  Variant target(i16(3));
  Variant ref = Variant::byRef(target);
  EXPECT_TRUE(ref.isByRef());
  EXPECT_EQ(ref.type(), VarType::Integer);
  EXPECT_EQ(ref.toInt32(), 3);
  ref.assign(Variant(u"changed"));
  EXPECT_EQ(target.type(), VarType::String);
  EXPECT_EQ(target.text().str(), u"changed");
  // A reference to a reference reaches the same variable.
  Variant refToRef = Variant::byRef(ref);
  refToRef.assign(Variant(9));
  EXPECT_EQ(target.type(), VarType::Long);
  EXPECT_EQ(target.int32(), 9);
  EXPECT_EQ(&refToRef.deref(), &target);
  // Assigning a reference stores the value, not the reference.
  Variant other(1.5);
  target.assign(Variant::byRef(other));
  EXPECT_FALSE(target.isByRef());
  EXPECT_EQ(target.type(), VarType::Double);
}

// ---------------------------------------------------------------------------
// SafeArray

using ET = SafeArray::ElementType;

TEST(frameSafeArray, ADynamicArrayStartsWithoutBounds) {
  SafeArray a(ET::Variant);
  EXPECT_FALSE(a.isFixed());
  EXPECT_EQ(a.dimensions(), 0);
  EXPECT_EQ(errorNumber([&] { a.lowerBound(); }), 9);
  EXPECT_EQ(errorNumber([&] { a.upperBound(); }), 9);
  EXPECT_EQ(errorNumber([&] { a.at(0); }), 9);
  const auto e = errorFrom([&] { a.upperBound(); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->description().str(), u"Subscript out of range");
}

TEST(frameSafeArray, RedimSetsBoundsAndEmptiesElements) {
  SafeArray a(ET::Variant);
  a.redim({{1, 3}}, false);
  EXPECT_EQ(a.dimensions(), 1);
  EXPECT_EQ(a.lowerBound(), 1);
  EXPECT_EQ(a.upperBound(), 3);
  EXPECT_TRUE(a.at(2).isEmpty());
  a.at(1) = Variant(u"one");
  a.at(3) = Variant(3);
  EXPECT_EQ(a.at(1).text().str(), u"one");
  EXPECT_EQ(a.at(3).int32(), 3);
  EXPECT_EQ(errorNumber([&] { a.at(0); }), 9);
  EXPECT_EQ(errorNumber([&] { a.at(4); }), 9);
  // Without preserve the old elements are gone.
  a.redim({{-2, 5}}, false);
  EXPECT_EQ(a.lowerBound(), -2);
  EXPECT_EQ(a.upperBound(), 5);
  EXPECT_TRUE(a.at(1).isEmpty());
  EXPECT_TRUE(a.at(3).isEmpty());
  EXPECT_TRUE(a.at(-2).isEmpty());
}

TEST(frameSafeArray, RedimRefusesInvalidBounds) {
  SafeArray a(ET::Variant);
  EXPECT_EQ(errorNumber([&] { a.redim({{5, 3}}, false); }), 9);
  EXPECT_EQ(errorNumber([&] { a.redim({}, false); }), 9);
  EXPECT_EQ(errorNumber([&] { a.redim(std::vector<ArrayBound>(61, ArrayBound{0, 0}), false); }), 9);
  // Bounds whose elements could never be addressed are memory that cannot be had.
  EXPECT_EQ(errorNumber([&] { a.redim(std::vector<ArrayBound>(8, ArrayBound{0, 99999}), false); }), 7);
  EXPECT_EQ(a.dimensions(), 0);
  a.redim({{0, 1}, {0, 2}, {1, 3}}, false);
  a.at({1, 2, 3}) = Variant(7);
  EXPECT_EQ(a.dimensions(), 3);
  EXPECT_EQ(a.at(std::vector<int32_t>{1, 2, 3}).int32(), 7);
  EXPECT_EQ(errorNumber([&] { a.at({1, 2}); }), 9);
}

TEST(frameSafeArray, PreserveKeepsElementsOfOneDimension) {
  SafeArray a(ET::Variant);
  a.redim({{0, 2}}, false);
  for (int32_t i = 0; i <= 2; ++i) a.at(i) = Variant(i * 10);
  a.redim({{0, 4}}, true);
  EXPECT_EQ(a.upperBound(), 4);
  for (int32_t i = 0; i <= 2; ++i) EXPECT_EQ(a.at(i).int32(), i * 10);
  EXPECT_TRUE(a.at(3).isEmpty());
  EXPECT_TRUE(a.at(4).isEmpty());
  a.redim({{0, 1}}, true);
  EXPECT_EQ(a.upperBound(), 1);
  EXPECT_EQ(a.at(1).int32(), 10);
  EXPECT_EQ(errorNumber([&] { a.at(2); }), 9);
}

TEST(frameSafeArray, PreserveOnAnArrayWithoutBoundsJustSetsThem) {
  SafeArray a(ET::Variant);
  a.redim({{1, 2}}, true);
  EXPECT_EQ(a.lowerBound(), 1);
  EXPECT_EQ(a.upperBound(), 2);
  EXPECT_TRUE(a.at(2).isEmpty());
}

TEST(frameSafeArray, TwoDimensionsHaveTheirOwnBounds) {
  SafeArray a(ET::Variant);
  a.redim({{0, 1}, {1, 3}}, false);
  EXPECT_EQ(a.dimensions(), 2);
  EXPECT_EQ(a.lowerBound(1), 0);
  EXPECT_EQ(a.upperBound(1), 1);
  EXPECT_EQ(a.lowerBound(2), 1);
  EXPECT_EQ(a.upperBound(2), 3);
  EXPECT_EQ(errorNumber([&] { a.lowerBound(3); }), 9);
  EXPECT_EQ(errorNumber([&] { a.upperBound(0); }), 9);
  // Every (i, j) is its own element.
  for (int32_t i = 0; i <= 1; ++i) {
    for (int32_t j = 1; j <= 3; ++j) a.at(i, j) = Variant(i * 100 + j);
  }
  for (int32_t i = 0; i <= 1; ++i) {
    for (int32_t j = 1; j <= 3; ++j) EXPECT_EQ(a.at(i, j).int32(), i * 100 + j);
  }
  EXPECT_EQ(errorNumber([&] { a.at(2, 1); }), 9);
  EXPECT_EQ(errorNumber([&] { a.at(0, 0); }), 9);
  EXPECT_EQ(errorNumber([&] { a.at(0, 4); }), 9);
  EXPECT_EQ(errorNumber([&] { a.at(-1, 2); }), 9);
  // One index for two dimensions is out of range, and two for one.
  EXPECT_EQ(errorNumber([&] { a.at(0); }), 9);
  SafeArray b(ET::Variant);
  b.redim({{0, 3}}, false);
  EXPECT_EQ(errorNumber([&] { b.at(0, 0); }), 9);
}

TEST(frameSafeArray, PreserveMayChangeOnlyTheLastDimension) {
  SafeArray a(ET::Variant);
  a.redim({{0, 1}, {0, 1}}, false);
  for (int32_t i = 0; i <= 1; ++i) {
    for (int32_t j = 0; j <= 1; ++j) a.at(i, j) = Variant(i * 10 + j);
  }
  a.redim({{0, 1}, {0, 3}}, true);
  EXPECT_EQ(a.upperBound(2), 3);
  for (int32_t i = 0; i <= 1; ++i) {
    for (int32_t j = 0; j <= 1; ++j) EXPECT_EQ(a.at(i, j).int32(), i * 10 + j);
    EXPECT_TRUE(a.at(i, 2).isEmpty());
    EXPECT_TRUE(a.at(i, 3).isEmpty());
  }
  // The first dimension, or the number of dimensions, may not change.
  EXPECT_EQ(errorNumber([&] { a.redim({{0, 2}, {0, 3}}, true); }), 9);
  EXPECT_EQ(errorNumber([&] { a.redim({{1, 2}, {0, 3}}, true); }), 9);
  EXPECT_EQ(errorNumber([&] { a.redim({{0, 7}}, true); }), 9);
  // A refused resize leaves the array as it was.
  EXPECT_EQ(a.dimensions(), 2);
  EXPECT_EQ(a.upperBound(1), 1);
  EXPECT_EQ(a.upperBound(2), 3);
  EXPECT_EQ(a.at(1, 1).int32(), 11);
  // Without preserve any shape is allowed.
  a.redim({{0, 2}}, false);
  EXPECT_EQ(a.dimensions(), 1);
}

TEST(frameSafeArray, FixedArraysRefuseRedimWithError10) {
  SafeArray a(ET::Variant, {{1, 2}});
  EXPECT_TRUE(a.isFixed());
  EXPECT_EQ(a.lowerBound(), 1);
  EXPECT_EQ(a.upperBound(), 2);
  a.at(1) = Variant(5);
  EXPECT_EQ(errorNumber([&] { a.redim({{1, 5}}, false); }), 10);
  EXPECT_EQ(errorNumber([&] { a.redim({{1, 5}}, true); }), 10);
  EXPECT_EQ(errorNumber([&] { a.redim({{1, 2}}, true); }), 10);
  const auto e = errorFrom([&] { a.redim({{0, 0}}, false); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->description().str(), u"This array is fixed or temporarily locked");
  EXPECT_EQ(a.upperBound(), 2);
  EXPECT_EQ(a.at(1).int32(), 5);
}

TEST(frameSafeArray, EraseOfFixedEmptiesElementsAndKeepsBounds) {
  SafeArray a(ET::Variant, {{0, 1}, {2, 3}});
  a.at(0, 2) = Variant(u"x");
  a.at(1, 3) = Variant(7);
  a.erase();
  EXPECT_TRUE(a.isFixed());
  EXPECT_EQ(a.dimensions(), 2);
  EXPECT_EQ(a.lowerBound(2), 2);
  EXPECT_EQ(a.upperBound(2), 3);
  EXPECT_TRUE(a.at(0, 2).isEmpty());
  EXPECT_TRUE(a.at(1, 3).isEmpty());
}

TEST(frameSafeArray, EraseOfDynamicDropsTheBounds) {
  SafeArray a(ET::Variant);
  a.redim({{0, 3}}, false);
  a.at(0) = Variant(1);
  a.erase();
  EXPECT_FALSE(a.isFixed());
  EXPECT_EQ(a.dimensions(), 0);
  EXPECT_EQ(errorNumber([&] { a.lowerBound(); }), 9);
  EXPECT_EQ(errorNumber([&] { a.at(0); }), 9);
  // It can be sized again.
  a.redim({{0, 0}}, false);
  EXPECT_TRUE(a.at(0).isEmpty());
}

TEST(frameSafeArray, StringElementsAreText) {
  SafeArray a(ET::String);
  a.redim({{0, 1}}, false);
  EXPECT_EQ(a.elementType(), ET::String);
  EXPECT_EQ(a.at(0).type(), VarType::String);
  EXPECT_EQ(a.at(0).toText().str(), u"");
  a.at(0) = Variant(u"kept");
  a.redim({{0, 2}}, true);
  EXPECT_EQ(a.at(0).text().str(), u"kept");
  EXPECT_EQ(a.at(2).type(), VarType::String);

  SafeArray fixed(ET::String, {{1, 1}});
  fixed.at(1) = Variant(u"gone");
  fixed.erase();
  EXPECT_EQ(fixed.at(1).type(), VarType::String);
  EXPECT_EQ(fixed.at(1).toText().str(), u"");
}

TEST(frameSafeArray, AVariantHoldsTheSameArray) {
  auto array = std::make_shared<SafeArray>(ET::Variant);
  array->redim({{0, 0}}, false);
  Variant v(array);
  EXPECT_EQ(v.type(), VarType::Array);
  EXPECT_EQ(v.toArray().get(), array.get());
  v.toArray()->at(0) = Variant(4);
  EXPECT_EQ(array->at(0).int32(), 4);
}

}  // namespace
}  // namespace zidevuv10
