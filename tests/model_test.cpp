// The in-memory object model: the root, sections and keys hold exactly what
// they are given (text as passed, objects by identity and alive while
// held), the two containers never hold anything, and the three memberless
// classes only live and die. Each behaviour is checked through the typed
// interfaces and through late-bound calls, which must agree.
#include <gtest/gtest.h>

#include <vector>

#include "support/automation_checks.h"
#include "zidevuv10/library.h"
#include "zidevuv10/model.h"

namespace zidevuv10 {
namespace {

using testing::errorFrom;
using testing::errorNumber;
using testing::lateCall;
using testing::lateGet;
using testing::lateLet;
using testing::lateSet;
using testing::TrackedKeys;
using testing::TrackedSections;

Ref<_clsOrviInifKeyA> newKey() { return objectAs<_clsOrviInifKeyA>(createObject(u"VEZEzoro10.clsOrviInifKeyA")); }
Ref<_clsOrviInifSectionA> newSection() {
  return objectAs<_clsOrviInifSectionA>(createObject(u"VEZEzoro10.clsOrviInifSectionA"));
}
Ref<_clsOrviInifINIFilesObjA> newRoot() {
  return objectAs<_clsOrviInifINIFilesObjA>(createObject(u"VEZEzoro10.clsOrviInifINIFilesObjA"));
}

// The texts a let must keep exactly: blanks, empty, unset, separators.
std::vector<Text> awkwardTexts() {
  return {Text(u"plain"),       Text(u"  padded  "), Text(u" "),        Text(u"\t"),
          Text::empty(),        Text::unset(),       Text(u"a=b;c[d]"), Text(u"\u00fcn\u00efcode \u20ac"),
          Text(u"line\r\nnext")};
}

// ---------------------------------------------------------------------------
// New objects

TEST(modelNewObjects, HoldNothing) {
  const auto root = newRoot();
  EXPECT_FALSE(root->get_Sections());
  const Variant sections = lateGet(ObjectRef(root), u"Sections");
  EXPECT_EQ(sections.type(), VarType::Object);
  EXPECT_FALSE(sections.toObject());

  const auto section = newSection();
  EXPECT_FALSE(section->get_Keys());
  EXPECT_EQ(section->get_NameLong().str(), u"");
  const Variant keys = lateGet(ObjectRef(section), u"Keys");
  EXPECT_EQ(keys.type(), VarType::Object);
  EXPECT_FALSE(keys.toObject());
  const Variant name = lateGet(ObjectRef(section), u"NameLong");
  EXPECT_EQ(name.type(), VarType::String);
  EXPECT_EQ(name.text().str(), u"");

  const auto key = newKey();
  EXPECT_EQ(key->get_NameLong().str(), u"");
  EXPECT_EQ(key->get_Value().str(), u"");
  EXPECT_EQ(lateGet(ObjectRef(key), u"Value").type(), VarType::String);
  EXPECT_EQ(lateGet(ObjectRef(key), u"Value").text().str(), u"");
}

// ---------------------------------------------------------------------------
// Text properties

TEST(modelText, KeyNameAndValueKeepExactlyWhatWasLet) {
  for (const Text& t : awkwardTexts()) {
    SCOPED_TRACE(t.isUnset() ? std::string("(unset)") : "'" + t.utf8() + "'");
    // Typed let, typed and late-bound get.
    const auto key = newKey();
    key->let_NameLong(t);
    EXPECT_EQ(key->get_NameLong(), t);
    EXPECT_EQ(lateGet(ObjectRef(key), u"NameLong").text(), t);
    key->let_Value(t);
    EXPECT_EQ(key->get_Value(), t);
    EXPECT_EQ(lateGet(ObjectRef(key), u"Value").text(), t);

    // Late-bound let, typed and late-bound get.
    const auto other = newKey();
    lateLet(ObjectRef(other), u"NameLong", Variant(t));
    lateLet(ObjectRef(other), u"Value", Variant(t));
    EXPECT_EQ(other->get_NameLong(), t);
    EXPECT_EQ(other->get_Value(), t);
    EXPECT_EQ(lateGet(ObjectRef(other), u"Value").text(), t);
  }
}

TEST(modelText, SectionNameKeepsExactlyWhatWasLet) {
  for (const Text& t : awkwardTexts()) {
    SCOPED_TRACE(t.isUnset() ? std::string("(unset)") : "'" + t.utf8() + "'");
    const auto section = newSection();
    section->let_NameLong(t);
    EXPECT_EQ(section->get_NameLong(), t);
    EXPECT_EQ(lateGet(ObjectRef(section), u"NameLong").text(), t);

    const auto other = newSection();
    lateLet(ObjectRef(other), u"NameLong", Variant(t));
    EXPECT_EQ(other->get_NameLong(), t);
  }
}

TEST(modelText, EmptyAndUnsetStayDistinct) {
  const auto key = newKey();
  key->let_Value(Text::empty());
  EXPECT_FALSE(key->get_Value().isUnset());
  key->let_Value(Text::unset());
  EXPECT_TRUE(key->get_Value().isUnset());
  lateLet(ObjectRef(key), u"Value", Variant(Text::empty()));
  EXPECT_FALSE(lateGet(ObjectRef(key), u"Value").text().isUnset());
}

TEST(modelText, PropertiesAreIndependentPerObject) {
  const auto key = newKey();
  key->let_NameLong(u"name");
  key->let_Value(u"value");
  EXPECT_EQ(key->get_NameLong().str(), u"name");
  EXPECT_EQ(key->get_Value().str(), u"value");
  key->let_Value(u"changed");
  EXPECT_EQ(key->get_NameLong().str(), u"name");

  const auto a = newSection();
  const auto b = newSection();
  a->let_NameLong(u"A");
  b->let_NameLong(u"B");
  EXPECT_EQ(a->get_NameLong().str(), u"A");
  EXPECT_EQ(b->get_NameLong().str(), u"B");
}

// ---------------------------------------------------------------------------
// Object properties

TEST(modelObjects, SectionKeysReturnsTheVeryObjectSet) {
  const auto keys = objectAs<_clsOrviInifKeysA>(createObject(u"VEZEzoro10.clsOrviInifKeysA"));
  const auto section = newSection();
  section->set_Keys(keys);
  EXPECT_EQ(section->get_Keys().get(), keys.get());
  EXPECT_EQ(lateGet(ObjectRef(section), u"Keys").toObject(), ObjectRef(keys));

  // Late-bound set, typed get.
  const auto other = objectAs<_clsOrviInifKeysA>(createObject(u"VEZEzoro10.clsOrviInifKeysA"));
  lateSet(ObjectRef(section), u"Keys", Variant(other));
  EXPECT_EQ(section->get_Keys().get(), other.get());

  // A container of the test's own is accepted as well.
  bool destroyed = false;
  const auto mine = makeObject<TrackedKeys>(destroyed);
  lateSet(ObjectRef(section), u"Keys", Variant(mine));
  EXPECT_EQ(section->get_Keys().get(), mine.get());
}

TEST(modelObjects, RootSectionsReturnsTheVeryObjectSet) {
  const auto sections =
      objectAs<_clsOrviInifSectionsA>(createObject(u"VEZEzoro10.clsOrviInifSectionsA"));
  const auto root = newRoot();
  root->set_Sections(sections);
  EXPECT_EQ(root->get_Sections().get(), sections.get());
  EXPECT_EQ(lateGet(ObjectRef(root), u"Sections").toObject(), ObjectRef(sections));

  bool destroyed = false;
  const auto mine = makeObject<TrackedSections>(destroyed);
  lateSet(ObjectRef(root), u"Sections", Variant(mine));
  EXPECT_EQ(root->get_Sections().get(), mine.get());
  EXPECT_EQ(lateGet(ObjectRef(root), u"Sections").toObject(), ObjectRef(mine));
}

TEST(modelObjects, SetNothingReleasesThePreviousObject) {
  bool destroyed = false;
  const auto section = newSection();
  section->set_Keys(makeObject<TrackedKeys>(destroyed));
  // The section is the only holder now.
  EXPECT_FALSE(destroyed);
  section->set_Keys(nullptr);
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(section->get_Keys());

  destroyed = false;
  lateSet(ObjectRef(section), u"Keys", Variant(makeObject<TrackedKeys>(destroyed)));
  EXPECT_FALSE(destroyed);
  lateSet(ObjectRef(section), u"Keys", Variant(ObjectRef()));
  EXPECT_TRUE(destroyed);
  EXPECT_FALSE(lateGet(ObjectRef(section), u"Keys").toObject());

  bool sectionsDestroyed = false;
  const auto root = newRoot();
  lateSet(ObjectRef(root), u"Sections", Variant(makeObject<TrackedSections>(sectionsDestroyed)));
  EXPECT_FALSE(sectionsDestroyed);
  root->set_Sections(nullptr);
  EXPECT_TRUE(sectionsDestroyed);
}

TEST(modelObjects, SetNothingKeepsAnObjectOthersStillHold) {
  bool destroyed = false;
  const auto keys = makeObject<TrackedKeys>(destroyed);
  const auto section = newSection();
  section->set_Keys(keys);
  section->set_Keys(nullptr);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(keys->get_Count(), 0);
}

TEST(modelObjects, ReplacingAnObjectReleasesTheOldOne) {
  bool firstGone = false;
  bool secondGone = false;
  const auto section = newSection();
  section->set_Keys(makeObject<TrackedKeys>(firstGone));
  lateSet(ObjectRef(section), u"Keys", Variant(makeObject<TrackedKeys>(secondGone)));
  EXPECT_TRUE(firstGone);
  EXPECT_FALSE(secondGone);
  // Setting the same object again keeps it.
  section->set_Keys(section->get_Keys());
  EXPECT_FALSE(secondGone);
}

TEST(modelObjects, ReleasingTheHolderReleasesWhatItHolds) {
  bool keysGone = false;
  {
    auto section = newSection();
    section->set_Keys(makeObject<TrackedKeys>(keysGone));
    EXPECT_FALSE(keysGone);
  }
  // The section went with its last reference, and took the keys with it.
  EXPECT_TRUE(keysGone);

  bool sectionsGone = false;
  {
    ObjectRef root = createObject(u"VEZEzoro10.clsOrviInifINIFilesObjA");
    lateSet(root, u"Sections", Variant(makeObject<TrackedSections>(sectionsGone)));
  }
  EXPECT_TRUE(sectionsGone);
}

TEST(modelObjects, TwoSectionsShareOneKeysContainer) {
  bool destroyed = false;
  auto first = newSection();
  auto second = newSection();
  {
    const auto keys = makeObject<TrackedKeys>(destroyed);
    first->set_Keys(keys);
    lateSet(ObjectRef(second), u"Keys", Variant(keys));
  }
  EXPECT_EQ(first->get_Keys().get(), second->get_Keys().get());
  EXPECT_TRUE(first->get_Keys());
  first = nullptr;
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(second->get_Keys());
  second = nullptr;
  EXPECT_TRUE(destroyed);
}

TEST(modelObjects, AFailedSetKeepsTheHeldObject) {
  bool destroyed = false;
  const auto section = newSection();
  section->set_Keys(makeObject<TrackedKeys>(destroyed));
  const Ref<TrackedKeys> held = objectAs<TrackedKeys>(ObjectRef(section->get_Keys()));
  EXPECT_EQ(errorNumber([&] { lateSet(ObjectRef(section), u"Keys", Variant(u"text")); }), 13);
  EXPECT_EQ(errorNumber([&] { lateSet(ObjectRef(section), u"Keys", Variant(ObjectRef(newKey()))); }),
            13);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(section->get_Keys().get(), held.get());
}

// ---------------------------------------------------------------------------
// Containers

// Each check runs on both containers, typed and late-bound.
template <typename Container>
void checkEmptyContainer(std::u16string_view progId) {
  SCOPED_TRACE(Text(std::u16string(progId)).utf8());
  const ObjectRef late = createObject(progId);
  const auto typed = objectAs<Container>(late);

  EXPECT_EQ(typed->Add(), 0);
  EXPECT_EQ(typed->Add(), 0);
  EXPECT_EQ(typed->get_Count(), 0);
  const Variant added = lateCall(late, u"Add", InvokeKind::Method);
  EXPECT_EQ(added.type(), VarType::Long);
  EXPECT_EQ(added.int32(), 0);
  const Variant count = lateGet(late, u"Count");
  EXPECT_EQ(count.type(), VarType::Long);
  EXPECT_EQ(count.int32(), 0);

  // Item finds nothing, whatever the index, and leaves the index alone.
  for (Variant index : {Variant(static_cast<int16_t>(1)), Variant(1), Variant(u"key"), Variant(),
                        Variant(0), Variant(-1)}) {
    const VarType before = index.type();
    EXPECT_FALSE(typed->get_Item(index));
    EXPECT_EQ(index.type(), before);
    Variant lateItem = lateGet(late, u"Item", {Variant::byRef(index)});
    EXPECT_EQ(lateItem.type(), VarType::Object);
    EXPECT_FALSE(lateItem.toObject());
    EXPECT_EQ(index.type(), before);
  }
  Variant key(u"key");
  typed->get_Item(key);
  EXPECT_EQ(key.text().str(), u"key");

  // Clear and Remove succeed on the empty container and change nothing.
  typed->Clear();
  typed->Remove();
  lateCall(late, u"Clear", InvokeKind::Method);
  lateCall(late, u"Remove", InvokeKind::Method);
  EXPECT_EQ(typed->get_Count(), 0);
  EXPECT_EQ(lateGet(late, u"Count").int32(), 0);
  // Remove takes no arguments.
  EXPECT_EQ(errorNumber([&] { lateCall(late, u"Remove", InvokeKind::Method, {Variant(1)}); }), 450);
}

TEST(modelContainers, SectionsHoldNothingEver) {
  checkEmptyContainer<_clsOrviInifSectionsA>(u"VEZEzoro10.clsOrviInifSectionsA");
}

TEST(modelContainers, KeysHoldNothingEver) {
  checkEmptyContainer<_clsOrviInifKeysA>(u"VEZEzoro10.clsOrviInifKeysA");
}

TEST(modelContainers, AContainerHeldBySectionsStaysEmpty) {
  const auto keys = objectAs<_clsOrviInifKeysA>(createObject(u"VEZEzoro10.clsOrviInifKeysA"));
  const auto section = newSection();
  section->set_Keys(keys);
  section->get_Keys()->Add();
  EXPECT_EQ(keys->get_Count(), 0);
  EXPECT_EQ(lateGet(lateGet(ObjectRef(section), u"Keys").toObject(), u"Count").int32(), 0);
}

// ---------------------------------------------------------------------------
// Memberless classes

TEST(modelMemberless, CreatedHeldAndReleased) {
  for (const char16_t* progId : {u"VEZEzoro10.clsOrviInifGeneralA", u"VEZEzoro10.clsOrviInifAdvancedA",
                                 u"VEZEzoro10.clsOrviInifHeaderA"}) {
    SCOPED_TRACE(Text(progId).utf8());
    ObjectRef o = createObject(progId);
    ASSERT_TRUE(o);
    // Held by a Variant and by a copy; both see the same object.
    Variant held(o);
    ObjectRef copy = o;
    EXPECT_EQ(held.toObject(), o);
    EXPECT_EQ(copy, o);
    o = nullptr;
    copy = nullptr;
    EXPECT_TRUE(held.toObject());
    EXPECT_EQ(held.toObject()->typeName(), std::u16string(progId).substr(11));
    held = Variant();
  }
  EXPECT_TRUE(objectAs<_clsOrviInifGeneralA>(createObject(u"VEZEzoro10.clsOrviInifGeneralA")));
  EXPECT_TRUE(objectAs<_clsOrviInifAdvancedA>(createObject(u"VEZEzoro10.clsOrviInifAdvancedA")));
  EXPECT_TRUE(objectAs<_clsOrviInifHeaderA>(createObject(u"VEZEzoro10.clsOrviInifHeaderA")));
  EXPECT_EQ(errorNumber([] { objectAs<_clsOrviInifHeaderA>(createObject(u"VEZEzoro10.clsOrviInifGeneralA")); }),
            13);
}

TEST(modelMemberless, AnyMemberIsUnsupported) {
  for (const char16_t* progId : {u"VEZEzoro10.clsOrviInifGeneralA", u"VEZEzoro10.clsOrviInifAdvancedA",
                                 u"VEZEzoro10.clsOrviInifHeaderA"}) {
    SCOPED_TRACE(Text(progId).utf8());
    const ObjectRef o = createObject(progId);
    for (const char16_t* name : {u"NameLong", u"Value", u"Item", u"Count", u"Add", u"x"}) {
      const auto e = errorFrom([&] { o->dispatchId(name); });
      ASSERT_TRUE(e.has_value());
      EXPECT_EQ(e->number(), 438);
      EXPECT_EQ(e->source().str(), std::u16string(progId));
    }
    std::vector<Variant> none;
    for (int32_t id : {0, 0x68030000, 0x68030001, 0x60030003}) {
      EXPECT_EQ(errorNumber([&] { o->invoke(id, InvokeKind::Method, none); }), 438);
      EXPECT_EQ(errorNumber([&] { o->invoke(id, InvokeKind::PropertyGet, none); }), 438);
    }
  }
}

}  // namespace
}  // namespace zidevuv10
