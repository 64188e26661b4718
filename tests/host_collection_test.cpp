// The host runtime's Collection, used directly from C++ and late-bound
// through its member table: 1-based positions, keys matched without regard
// to case, insertion before or after an item, removal, and the error
// numbers a client's error handler sees for each misuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/automation_checks.h"
#include "zidevuv10/collection.h"
#include "zidevuv10/error.h"
#include "zidevuv10/object.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {
namespace {

using testing::errorFrom;
using testing::errorNumber;
using testing::lateCall;
using testing::lateGet;

const Variant kNone = Variant::missing();

// The items in order, as text, read through range-for.
std::vector<std::u16string> contents(const Collection& c) {
  std::vector<std::u16string> out;
  for (const Variant& v : c) out.push_back(v.toText().str());
  return out;
}

using Texts = std::vector<std::u16string>;

Ref<Collection> letters(std::initializer_list<const char16_t*> items) {
  auto c = makeObject<Collection>();
  for (const char16_t* s : items) c->Add(Variant(s));
  return c;
}

// ---------------------------------------------------------------------------
// Direct use

TEST(hostCollectionDirect, PositionsStartAtOneAndKeepInsertionOrder) {
  auto c = makeObject<Collection>();
  EXPECT_EQ(c->Count(), 0);
  EXPECT_EQ(c->begin(), c->end());
  c->Add(Variant(u"first"));
  c->Add(Variant(42));
  c->Add(Variant(2.5));
  EXPECT_EQ(c->Count(), 3);
  EXPECT_EQ(c->Item(Variant(1)).toText().str(), u"first");
  EXPECT_EQ(c->Item(Variant(2)).type(), VarType::Long);
  EXPECT_EQ(c->Item(Variant(2)).toInt32(), 42);
  EXPECT_EQ(c->Item(Variant(3)).toDouble(), 2.5);
  // Positions given as 16-bit integers and doubles name the same items.
  EXPECT_EQ(c->Item(Variant(static_cast<int16_t>(1))).toText().str(), u"first");
  EXPECT_EQ(c->Item(Variant(3.0)).toDouble(), 2.5);
  EXPECT_EQ(contents(*c), (Texts{u"first", u"42", u"2.5"}));
}

TEST(hostCollectionDirect, PositionOutsideOneToCountIsError9) {
  auto empty = makeObject<Collection>();
  EXPECT_EQ(errorNumber([&] { empty->Item(Variant(1)); }), err::kSubscriptOutOfRange);

  auto c = letters({u"a", u"b"});
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(0)); }), 9);
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(3)); }), 9);
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(-1)); }), 9);
  const auto e = errorFrom([&] { c->Item(Variant(3)); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->description().str(), u"Subscript out of range");
}

TEST(hostCollectionDirect, FractionalPositionsRoundHalfToEven) {
  auto c = letters({u"a", u"b", u"c"});
  EXPECT_EQ(c->Item(Variant(1.5)).toText().str(), u"b");
  EXPECT_EQ(c->Item(Variant(2.5)).toText().str(), u"b");
  EXPECT_EQ(c->Item(Variant(2.6)).toText().str(), u"c");
  EXPECT_EQ(c->Item(Variant(1.4)).toText().str(), u"a");
  EXPECT_EQ(c->Item(Variant(1.5f)).toText().str(), u"b");
  // 0.5 rounds to 0 and 3.5 to 4: both outside the collection.
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(0.5)); }), 9);
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(3.5)); }), 9);
}

TEST(hostCollectionDirect, AddedFromAByReferenceVariantKeepsTheValue) {
  auto c = makeObject<Collection>();
  Variant callerVariable(10);
  c->Add(Variant::byRef(callerVariable), Variant(u"k"));
  callerVariable = Variant(20);
  const Variant item = c->Item(Variant(u"k"));
  EXPECT_FALSE(item.isByRef());
  EXPECT_EQ(item.type(), VarType::Long);
  EXPECT_EQ(item.toInt32(), 10);

  // Text too: a later change of the caller's text leaves the item alone.
  Variant callerText(u"before");
  c->Add(Variant::byRef(callerText));
  callerText.text() = Text(u"after");
  EXPECT_EQ(c->Item(Variant(2)).toText().str(), u"before");
}

TEST(hostCollectionDirect, HoldsObjectsByReference) {
  auto inner = makeObject<Collection>();
  auto outer = makeObject<Collection>();
  outer->Add(Variant(inner), Variant(u"inner"));
  const ObjectRef back = outer->Item(Variant(u"inner")).toObject();
  EXPECT_EQ(back.get(), inner.get());
  // An object is no position and no key.
  EXPECT_EQ(errorNumber([&] { outer->Item(Variant(inner)); }), err::kTypeMismatch);
}

// ---------------------------------------------------------------------------
// Keys

TEST(hostCollectionKeys, KeysMatchWithoutRegardToCase) {
  auto c = makeObject<Collection>();
  c->Add(Variant(u"fruit"), Variant(u"Apple"));
  c->Add(Variant(u"trouble"), Variant(u"\u00C4rger"));  // "Ärger"
  c->Add(Variant(u"street"), Variant(u"Stra\u00DFe"));
  EXPECT_EQ(c->Item(Variant(u"apple")).toText().str(), u"fruit");
  EXPECT_EQ(c->Item(Variant(u"APPLE")).toText().str(), u"fruit");
  EXPECT_EQ(c->Item(Variant(u"\u00C4RGER")).toText().str(), u"trouble");  // "ÄRGER"
  EXPECT_EQ(c->Item(Variant(u"\u00E4rger")).toText().str(), u"trouble");  // "ärger"
  EXPECT_EQ(c->Item(Variant(u"STRA\u00DFE")).toText().str(), u"street");
  // "Arger" without the umlaut is another key.
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(u"Arger")); }), err::kInvalidCall);
}

TEST(hostCollectionKeys, DuplicateKeyIsError457AndAddsNothing) {
  auto c = makeObject<Collection>();
  c->Add(Variant(u"one"), Variant(u"Key"));
  c->Add(Variant(u"two"), Variant(u"\u00C4rger"));
  const auto e = errorFrom([&] { c->Add(Variant(u"again"), Variant(u"KEY")); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->number(), err::kKeyAlreadyInCollection);
  EXPECT_EQ(e->description().str(),
            u"This key is already associated with an element of this collection");
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"again"), Variant(u"\u00C4RGER")); }), 457);
  EXPECT_EQ(c->Count(), 2);
  EXPECT_EQ(contents(*c), (Texts{u"one", u"two"}));
  // Items without a key never clash with each other.
  c->Add(Variant(u"three"));
  c->Add(Variant(u"four"));
  EXPECT_EQ(c->Count(), 4);
}

TEST(hostCollectionKeys, UnknownKeyIsError5) {
  auto c = makeObject<Collection>();
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(u"nothing")); }), err::kInvalidCall);
  c->Add(Variant(u"x"), Variant(u"present"));
  c->Add(Variant(u"y"));
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(u"absent")); }), 5);
  // An item without a key is not found by the empty key.
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(u"")); }), 5);
  const auto e = errorFrom([&] { c->Item(Variant(u"absent")); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->description().str(), u"Invalid procedure call or argument");
}

TEST(hostCollectionKeys, KeyThatIsNotTextIsError13) {
  auto c = makeObject<Collection>();
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), Variant(7)); }), err::kTypeMismatch);
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), Variant(static_cast<int16_t>(7))); }), 13);
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), Variant(1.5)); }), 13);
  EXPECT_EQ(c->Count(), 0);
}

TEST(hostCollectionKeys, NumericTextIsAKeyNotAPosition) {
  auto c = makeObject<Collection>();
  c->Add(Variant(u"first"), Variant(u"2"));
  c->Add(Variant(u"second"), Variant(u"1"));
  c->Add(Variant(u"third"));
  EXPECT_EQ(c->Item(Variant(u"1")).toText().str(), u"second");
  EXPECT_EQ(c->Item(Variant(u"2")).toText().str(), u"first");
  EXPECT_EQ(c->Item(Variant(1)).toText().str(), u"first");
  EXPECT_EQ(c->Item(Variant(2)).toText().str(), u"second");
  // "3" is a valid position but no item has that key.
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(u"3")); }), err::kInvalidCall);
}

// ---------------------------------------------------------------------------
// Before and After

TEST(hostCollectionPlacement, BeforeAndAfterByPosition) {
  auto c = letters({u"a", u"b", u"c"});
  c->Add(Variant(u"x"), kNone, Variant(1));
  EXPECT_EQ(contents(*c), (Texts{u"x", u"a", u"b", u"c"}));
  c->Add(Variant(u"y"), kNone, Variant(3));
  EXPECT_EQ(contents(*c), (Texts{u"x", u"a", u"y", u"b", u"c"}));
  c->Add(Variant(u"z"), kNone, kNone, Variant(5));
  EXPECT_EQ(contents(*c), (Texts{u"x", u"a", u"y", u"b", u"c", u"z"}));
  c->Add(Variant(u"w"), kNone, kNone, Variant(1));
  EXPECT_EQ(contents(*c), (Texts{u"x", u"w", u"a", u"y", u"b", u"c", u"z"}));
  EXPECT_EQ(c->Count(), 7);
}

TEST(hostCollectionPlacement, BeforeAndAfterByKey) {
  auto c = makeObject<Collection>();
  c->Add(Variant(u"a"), Variant(u"ka"));
  c->Add(Variant(u"b"), Variant(u"kb"));
  c->Add(Variant(u"x"), Variant(u"kx"), Variant(u"KB"));
  EXPECT_EQ(contents(*c), (Texts{u"a", u"x", u"b"}));
  c->Add(Variant(u"y"), kNone, kNone, Variant(u"Ka"));
  EXPECT_EQ(contents(*c), (Texts{u"a", u"y", u"x", u"b"}));
  c->Add(Variant(u"z"), kNone, kNone, Variant(u"kb"));
  EXPECT_EQ(contents(*c), (Texts{u"a", u"y", u"x", u"b", u"z"}));
  // The key moves with its item.
  EXPECT_EQ(c->Item(Variant(u"kx")).toText().str(), u"x");
  EXPECT_EQ(c->Item(Variant(u"kb")).toText().str(), u"b");
  EXPECT_EQ(c->Item(Variant(u"ka")).toText().str(), u"a");
}

TEST(hostCollectionPlacement, BothBeforeAndAfterIsError5) {
  auto c = letters({u"a", u"b"});
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), kNone, Variant(1), Variant(2)); }),
            err::kInvalidCall);
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), Variant(u"k"), Variant(1), Variant(1)); }),
            5);
  EXPECT_EQ(contents(*c), (Texts{u"a", u"b"}));
  // The refused key was not taken.
  c->Add(Variant(u"x"), Variant(u"k"));
  EXPECT_EQ(c->Item(Variant(u"k")).toText().str(), u"x");
}

TEST(hostCollectionPlacement, UnknownBeforeOrAfterAddsNothing) {
  auto c = letters({u"a", u"b"});
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), kNone, Variant(3)); }), 9);
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), kNone, kNone, Variant(0)); }), 9);
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), kNone, Variant(u"nokey")); }), 5);
  EXPECT_EQ(errorNumber([&] { c->Add(Variant(u"x"), Variant(u"k"), kNone, Variant(u"nokey")); }),
            5);
  EXPECT_EQ(contents(*c), (Texts{u"a", u"b"}));
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(u"k")); }), 5);
}

// ---------------------------------------------------------------------------
// Remove

TEST(hostCollectionRemove, ByPositionShiftsTheRest) {
  auto c = letters({u"a", u"b", u"c", u"d"});
  c->Remove(Variant(2));
  EXPECT_EQ(contents(*c), (Texts{u"a", u"c", u"d"}));
  c->Remove(Variant(3));
  EXPECT_EQ(contents(*c), (Texts{u"a", u"c"}));
  c->Remove(Variant(1));
  EXPECT_EQ(contents(*c), (Texts{u"c"}));
  EXPECT_EQ(c->Count(), 1);
  EXPECT_EQ(errorNumber([&] { c->Remove(Variant(2)); }), 9);
  EXPECT_EQ(errorNumber([&] { c->Remove(Variant(0)); }), 9);
  c->Remove(Variant(1));
  EXPECT_EQ(c->Count(), 0);
  EXPECT_EQ(errorNumber([&] { c->Remove(Variant(1)); }), 9);
}

TEST(hostCollectionRemove, ByKeyFreesTheKey) {
  auto c = makeObject<Collection>();
  c->Add(Variant(u"a"), Variant(u"ka"));
  c->Add(Variant(u"b"), Variant(u"\u00C4rger"));
  c->Add(Variant(u"c"), Variant(u"kc"));
  c->Remove(Variant(u"\u00E4RGER"));
  EXPECT_EQ(contents(*c), (Texts{u"a", u"c"}));
  EXPECT_EQ(errorNumber([&] { c->Item(Variant(u"\u00C4rger")); }), 5);
  EXPECT_EQ(errorNumber([&] { c->Remove(Variant(u"\u00C4rger")); }), 5);
  // Keys of the remaining items still find them after the shift.
  EXPECT_EQ(c->Item(Variant(u"kc")).toText().str(), u"c");
  // The freed key can be used again.
  c->Add(Variant(u"b2"), Variant(u"\u00C4rger"));
  EXPECT_EQ(c->Item(Variant(u"\u00C4RGER")).toText().str(), u"b2");
  // Removing by position also frees the item's key.
  c->Remove(Variant(1));
  c->Add(Variant(u"a2"), Variant(u"KA"));
  EXPECT_EQ(c->Item(Variant(u"ka")).toText().str(), u"a2");
}

// ---------------------------------------------------------------------------
// Late-bound

TEST(hostCollectionLateBound, MembersAreFoundByNameInAnyCase) {
  const ObjectRef c = makeObject<Collection>();
  EXPECT_EQ(c->typeName(), u"Collection");
  EXPECT_EQ(c->dispatchId(u"item"), 0);
  EXPECT_EQ(c->dispatchId(u"ITEM"), 0);
  EXPECT_EQ(c->dispatchId(u"ADD"), c->dispatchId(u"add"));
  EXPECT_EQ(c->dispatchId(u"Count"), c->dispatchId(u"COUNT"));
  EXPECT_EQ(c->dispatchId(u"Remove"), c->dispatchId(u"remove"));
  // Four distinct members.
  EXPECT_NE(c->dispatchId(u"ADD"), 0);
  EXPECT_NE(c->dispatchId(u"Count"), c->dispatchId(u"ADD"));
  EXPECT_NE(c->dispatchId(u"Remove"), c->dispatchId(u"Count"));
  EXPECT_EQ(errorNumber([&] { c->dispatchId(u"Items"); }), err::kMemberNotSupported);
}

TEST(hostCollectionLateBound, AddItemCountAndRemove) {
  const ObjectRef c = makeObject<Collection>();
  lateCall(c, u"ADD", InvokeKind::Method, {Variant(u"a"), Variant(u"Ka")});
  lateCall(c, u"add", InvokeKind::Method, {Variant(u"b")});
  lateCall(c, u"Add", InvokeKind::Method, {Variant(u"c"), Variant(u"kc")});
  EXPECT_EQ(lateCall(c, u"Count", InvokeKind::Method).toInt32(), 3);
  EXPECT_EQ(lateGet(c, u"Count").toInt32(), 3);

  // Item (dispatch id 0) as a method and as a property get.
  std::vector<Variant> two{Variant(2)};
  EXPECT_EQ(c->invoke(0, InvokeKind::Method, two).toText().str(), u"b");
  std::vector<Variant> key{Variant(u"KC")};
  EXPECT_EQ(c->invoke(0, InvokeKind::PropertyGet, key).toText().str(), u"c");
  EXPECT_EQ(lateGet(c, u"item", {Variant(u"ka")}).toText().str(), u"a");
  EXPECT_EQ(lateCall(c, u"Item", InvokeKind::Method, {Variant(1.5)}).toText().str(), u"b");

  lateCall(c, u"Remove", InvokeKind::Method, {Variant(u"KA")});
  lateCall(c, u"REMOVE", InvokeKind::Method, {Variant(2)});
  EXPECT_EQ(lateGet(c, u"Count").toInt32(), 1);
  EXPECT_EQ(lateGet(c, u"Item", {Variant(1)}).toText().str(), u"b");
}

TEST(hostCollectionLateBound, BeforeAndAfterWithOmittedArguments) {
  const ObjectRef c = makeObject<Collection>();
  lateCall(c, u"Add", InvokeKind::Method, {Variant(u"a"), Variant(u"ka")});
  lateCall(c, u"Add", InvokeKind::Method, {Variant(u"b")});
  // Add "x", Before:=1
  lateCall(c, u"Add", InvokeKind::Method, {Variant(u"x"), kNone, Variant(1)});
  // Add "y", "ky", After:="KA"
  lateCall(c, u"Add", InvokeKind::Method, {Variant(u"y"), Variant(u"ky"), kNone, Variant(u"KA")});
  Ref<Collection> direct = objectAs<Collection>(c);
  EXPECT_EQ(contents(*direct), (Texts{u"x", u"a", u"y", u"b"}));
  EXPECT_EQ(lateGet(c, u"Item", {Variant(u"KY")}).toText().str(), u"y");
}

TEST(hostCollectionLateBound, ErrorsReachTheCaller) {
  const ObjectRef c = makeObject<Collection>();
  lateCall(c, u"Add", InvokeKind::Method, {Variant(u"a"), Variant(u"\u00C4rger")});
  const auto dup = errorFrom(
      [&] { lateCall(c, u"Add", InvokeKind::Method, {Variant(u"b"), Variant(u"\u00C4RGER")}); });
  ASSERT_TRUE(dup.has_value());
  EXPECT_EQ(dup->number(), 457);
  EXPECT_EQ(dup->description().str(),
            u"This key is already associated with an element of this collection");
  EXPECT_EQ(errorNumber([&] { lateCall(c, u"Add", InvokeKind::Method, {Variant(u"b"), Variant(5)}); }),
            13);
  EXPECT_EQ(errorNumber([&] {
              lateCall(c, u"Add", InvokeKind::Method, {Variant(u"b"), kNone, Variant(1), Variant(1)});
            }),
            5);
  EXPECT_EQ(errorNumber([&] { lateGet(c, u"Item", {Variant(0)}); }), 9);
  EXPECT_EQ(errorNumber([&] { lateGet(c, u"Item", {Variant(2)}); }), 9);
  EXPECT_EQ(errorNumber([&] { lateGet(c, u"Item", {Variant(u"1")}); }), 5);
  EXPECT_EQ(errorNumber([&] { lateCall(c, u"Remove", InvokeKind::Method, {Variant(u"zz")}); }), 5);
  EXPECT_EQ(lateGet(c, u"Count").toInt32(), 1);
}

TEST(hostCollectionLateBound, ByReferenceItemIsCopied) {
  const ObjectRef c = makeObject<Collection>();
  Variant callerVariable(u"original");
  lateCall(c, u"Add", InvokeKind::Method, {Variant::byRef(callerVariable), Variant(u"k")});
  callerVariable = Variant(u"changed");
  const Variant item = lateGet(c, u"Item", {Variant(u"k")});
  EXPECT_FALSE(item.isByRef());
  EXPECT_EQ(item.toText().str(), u"original");
}

}  // namespace
}  // namespace zidevuv10
