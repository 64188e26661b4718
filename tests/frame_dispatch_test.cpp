// Late-bound calls through member tables: name lookup, argument count,
// coercion of each argument to its parameter's type, optional arguments,
// by-reference write-back; creation by ProgID and class id; and what the
// type library says about the classes (listing, order, identity, enums).
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <sstream>
#include <string>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/collection.h"
#include "zidevuv10/library.h"
#include "zidevuv10/main_class.h"
#include "zidevuv10/model.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {
namespace {

using testing::errorFrom;
using testing::errorNumber;
using testing::lateCall;
using testing::lateGet;
using testing::lateLet;
using testing::lateSet;

Variant i16(int v) { return Variant(static_cast<int16_t>(v)); }

ObjectRef create(std::u16string_view name) { return createObject(name); }

// Keeps creation from reaching the user's own registry: failed look-ups
// fall back to the registry file, which here is an empty temporary one.
class frameCreation : public ::testing::Test {
 protected:
  testing::TempDir dir_;
  testing::ScopedEnv registry_{"ZIDEVUV10_REGISTRY", dir_.file("registry.ini")};
};

// ---------------------------------------------------------------------------
// A class of the test's own, with parameters of each kind the frame coerces.

class Probe final : public Object {
 public:
  const ClassInfo* classInfo() const override;

  // What the last call of Pick received.
  Variant pickedB;
  Variant pickedC;
};

Probe& probe(Object& o) { return static_cast<Probe&>(o); }

const ClassInfo& probeInfo() {
  static const ClassInfo info{
      u"clsProbe",
      u"0a1b2c3d-0000-4000-8000-000000000001",
      u"0a1b2c3d-0000-4000-8000-000000000002",
      {
          // Small(ByVal n As Integer) As Integer: returns what it received.
          {u"Small", InvokeKind::Method, 1, {{u"n", {TypeCode::Int16, {}}}}, {TypeCode::Int16, {}},
           [](Object&, CallArgs& a) { return Variant(a.int16(0)); }},
          // Wide(ByVal n As Long) As Long
          {u"Wide", InvokeKind::Method, 2, {{u"n", {TypeCode::Int32, {}}}}, {TypeCode::Int32, {}},
           [](Object&, CallArgs& a) { return Variant(a.int32(0)); }},
          // Shout(ByRef s As String): appends "!" to the caller's text.
          {u"Shout", InvokeKind::Method, 3, {{u"s", {TypeCode::Text, {}}, true}}, {},
           [](Object&, CallArgs& a) {
             a.textRef(0) = Text(a.text(0).str() + u"!");
             return Variant();
           }},
          // Bump(ByRef n As Long): adds one to the caller's number.
          {u"Bump", InvokeKind::Method, 4, {{u"n", {TypeCode::Int32, {}}, true}}, {},
           [](Object&, CallArgs& a) {
             a.int32Ref(0) += 1;
             return Variant();
           }},
          // Pick(ByVal a As Long, Optional b As Variant = 7, Optional c As Variant)
          {u"Pick",
           InvokeKind::Method,
           5,
           {{u"a", {TypeCode::Int32, {}}},
            {u"b", {TypeCode::Variant, {}}, false, true, 7, TypeCode::Int32},
            {u"c", {TypeCode::Variant, {}}, false, true}},
           {TypeCode::Int32, {}},
           [](Object& o, CallArgs& a) {
             probe(o).pickedB = a.variant(1);
             probe(o).pickedC = a.variant(2);
             return Variant(a.int32(0));
           }},
          // Tag(ByRef v As Variant): replaces the caller's Variant.
          {u"Tag", InvokeKind::Method, 6, {{u"v", {TypeCode::Variant, {}}, true}}, {},
           [](Object&, CallArgs& a) {
             a.variant(0) = Variant(u"tagged");
             return Variant();
           }},
      }};
  return info;
}

const ClassInfo* Probe::classInfo() const { return &probeInfo(); }

Variant callProbe(const Ref<Probe>& p, std::u16string_view name, std::vector<Variant> args) {
  return lateCall(ObjectRef(p), name, InvokeKind::Method, std::move(args));
}

TEST(frameDispatchCoercion, IntegerParameterOverflowsAndMismatches) {
  const auto p = makeObject<Probe>();
  EXPECT_EQ(callProbe(p, u"Small", {i16(5)}).int16(), 5);
  EXPECT_EQ(callProbe(p, u"Small", {Variant(32767)}).int16(), 32767);
  EXPECT_EQ(callProbe(p, u"Small", {Variant(2.5)}).int16(), 2);
  EXPECT_EQ(callProbe(p, u"Small", {Variant(u" 12 ")}).int16(), 12);
  EXPECT_EQ(callProbe(p, u"Small", {Variant::boolean(true)}).int16(), -1);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Small", {Variant(32768)}); }), 6);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Small", {Variant(-40000.0)}); }), 6);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Small", {Variant(u"abc")}); }), 13);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Small", {Variant::null()}); }), 94);
}

TEST(frameDispatchCoercion, LongParameterOverflowsAndMismatches) {
  const auto p = makeObject<Probe>();
  EXPECT_EQ(callProbe(p, u"Wide", {Variant(40000)}).int32(), 40000);
  EXPECT_EQ(callProbe(p, u"Wide", {i16(-3)}).int32(), -3);
  EXPECT_EQ(callProbe(p, u"Wide", {Variant(u"&HFF")}).int32(), 255);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Wide", {Variant(3e9)}); }), 6);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Wide", {Variant(u"12x")}); }), 13);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Wide", {Variant::null()}); }), 94);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Wide", {Variant(ObjectRef())}); }), 13);
}

TEST(frameDispatchByRef, ChangesReachTheCallersVariable) {
  const auto p = makeObject<Probe>();
  Variant s(u"hi");
  callProbe(p, u"Shout", {Variant::byRef(s)});
  EXPECT_EQ(s.type(), VarType::String);
  EXPECT_EQ(s.text().str(), u"hi!");
  callProbe(p, u"Shout", {Variant::byRef(s)});
  EXPECT_EQ(s.text().str(), u"hi!!");

  Variant n(41);
  callProbe(p, u"Bump", {Variant::byRef(n)});
  EXPECT_EQ(n.type(), VarType::Long);
  EXPECT_EQ(n.int32(), 42);

  Variant v(3);
  callProbe(p, u"Tag", {Variant::byRef(v)});
  EXPECT_EQ(v.type(), VarType::String);
  EXPECT_EQ(v.text().str(), u"tagged");
}

TEST(frameDispatchByRef, ValuesPassedByValueAreNotWrittenBack) {
  const auto p = makeObject<Probe>();
  std::vector<Variant> args{Variant(u"hi")};
  p->invoke(p->dispatchId(u"Shout"), InvokeKind::Method, std::span<Variant>(args));
  EXPECT_EQ(args[0].text().str(), u"hi");

  std::vector<Variant> numbers{Variant(41)};
  p->invoke(p->dispatchId(u"Bump"), InvokeKind::Method, std::span<Variant>(numbers));
  EXPECT_EQ(numbers[0].int32(), 41);

  // A caller's variable given to a by-value parameter keeps its value and
  // its type, although the member received it converted.
  Variant text(u" 12 ");
  EXPECT_EQ(callProbe(p, u"Wide", {Variant::byRef(text)}).int32(), 12);
  EXPECT_EQ(text.type(), VarType::String);
  EXPECT_EQ(text.text().str(), u" 12 ");
  Variant wide(5);
  EXPECT_EQ(callProbe(p, u"Small", {Variant::byRef(wide)}).int16(), 5);
  EXPECT_EQ(wide.type(), VarType::Long);
}

TEST(frameDispatchByRef, AFailedCoercionLeavesTheCallersVariable) {
  const auto p = makeObject<Probe>();
  Variant n(u"not a number");
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Bump", {Variant::byRef(n)}); }), 13);
  EXPECT_EQ(n.type(), VarType::String);
  EXPECT_EQ(n.text().str(), u"not a number");
}

TEST(frameDispatchOptional, OmittedArgumentsTakeTheirDefaults) {
  const auto p = makeObject<Probe>();
  EXPECT_EQ(callProbe(p, u"Pick", {Variant(1)}).int32(), 1);
  EXPECT_EQ(p->pickedB.type(), VarType::Long);
  EXPECT_EQ(p->pickedB.int32(), 7);
  EXPECT_TRUE(p->pickedC.isMissing());

  // An explicitly missing argument counts as omitted.
  callProbe(p, u"Pick", {Variant(1), Variant::missing(), Variant::missing()});
  EXPECT_EQ(p->pickedB.int32(), 7);
  EXPECT_TRUE(p->pickedC.isMissing());

  callProbe(p, u"Pick", {Variant(1), Variant(u"b"), Variant(2.5)});
  EXPECT_EQ(p->pickedB.text().str(), u"b");
  EXPECT_EQ(p->pickedC.type(), VarType::Double);

  // Empty is a value, not an omission.
  callProbe(p, u"Pick", {Variant(1), Variant()});
  EXPECT_TRUE(p->pickedB.isEmpty());
}

TEST(frameDispatchOptional, RequiredArgumentsAndCounts) {
  const auto p = makeObject<Probe>();
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Pick", {Variant::missing()}); }), 449);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Pick", {}); }), 450);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Pick", {Variant(1), Variant(2), Variant(3), Variant(4)}); }),
            450);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Small", {}); }), 450);
  EXPECT_EQ(errorNumber([&] { callProbe(p, u"Small", {i16(1), i16(2)}); }), 450);
  const auto e = errorFrom([&] { callProbe(p, u"Small", {Variant::missing()}); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->number(), 449);
  EXPECT_EQ(e->description().str(), u"Argument not optional");
}

TEST(frameDispatchListing, DescribesATestClassWithItsParameterForms) {
  const std::string listing = describeClass(probeInfo());
  EXPECT_NE(listing.find("  4 method Bump 0x00000004 (ByRef n As Long)\n"), std::string::npos)
      << listing;
  EXPECT_NE(listing.find("  5 method Pick 0x00000005 (ByVal a As Long, Optional ByVal b As "
                         "Variant = 7, Optional ByVal c As Variant) As Long\n"),
            std::string::npos)
      << listing;
}

// ---------------------------------------------------------------------------
// The model classes, late-bound

TEST(frameDispatchNames, MemberNamesIgnoreCase) {
  const ObjectRef key = create(u"VEZEzoro10.clsOrviInifKeyA");
  EXPECT_EQ(key->dispatchId(u"NameLong"), 0x68030001);
  EXPECT_EQ(key->dispatchId(u"namelong"), 0x68030001);
  EXPECT_EQ(key->dispatchId(u"NAMELONG"), 0x68030001);
  EXPECT_EQ(key->dispatchId(u"vAlUe"), 0x68030000);

  const ObjectRef section = create(u"VEZEzoro10.clsOrviInifSectionA");
  EXPECT_EQ(section->dispatchId(u"KEYS"), 0x68030000);
  EXPECT_EQ(section->dispatchId(u"nameLong"), 0x68030001);

  const ObjectRef root = create(u"VEZEzoro10.clsOrviInifINIFilesObjA");
  EXPECT_EQ(root->dispatchId(u"sections"), 0x68030000);

  for (const char16_t* container : {u"VEZEzoro10.clsOrviInifSectionsA", u"VEZEzoro10.clsOrviInifKeysA"}) {
    const ObjectRef c = create(container);
    EXPECT_EQ(c->dispatchId(u"add"), 0x60030003);
    EXPECT_EQ(c->dispatchId(u"CLEAR"), 0x60030004);
    EXPECT_EQ(c->dispatchId(u"Remove"), 0x60030005);
    EXPECT_EQ(c->dispatchId(u"count"), 0x68030001);
    EXPECT_EQ(c->dispatchId(u"iTeM"), 0x68030000);
  }

  lateLet(key, u"namelong", Variant(u"n"));
  EXPECT_EQ(lateGet(key, u"NAMELONG").text().str(), u"n");
}

TEST(frameDispatchNames, UnknownMembersRaise438NamingTheClass) {
  const ObjectRef key = create(u"VEZEzoro10.clsOrviInifKeyA");
  for (const char16_t* name : {u"Nme", u"", u"NameLongX", u"Sections", u"Add"}) {
    SCOPED_TRACE(Text(name).utf8());
    const auto e = errorFrom([&] { key->dispatchId(name); });
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), 438);
    EXPECT_EQ(e->source().str(), u"VEZEzoro10.clsOrviInifKeyA");
    EXPECT_EQ(e->description().str(), u"Object doesn't support this property or method");
  }
  // An unknown dispatch id, or a kind the member does not have.
  std::vector<Variant> none;
  const auto byId = errorFrom([&] { key->invoke(0x12345, InvokeKind::Method, none); });
  ASSERT_TRUE(byId.has_value());
  EXPECT_EQ(byId->number(), 438);
  EXPECT_EQ(byId->source().str(), u"VEZEzoro10.clsOrviInifKeyA");

  const ObjectRef keys = create(u"VEZEzoro10.clsOrviInifKeysA");
  std::vector<Variant> value{Variant(1)};
  const auto letCount =
      errorFrom([&] { keys->invoke(0x68030001, InvokeKind::PropertyLet, value); });
  ASSERT_TRUE(letCount.has_value());
  EXPECT_EQ(letCount->number(), 438);
  EXPECT_EQ(letCount->source().str(), u"VEZEzoro10.clsOrviInifKeysA");
}

TEST(frameDispatchNames, ErrorsInsideAMemberNameTheClass) {
  // Raised while coercing an argument, and raised by the member itself.
  const ObjectRef settings = create(u"VEZEzoro10.clsOrviInifINIFilesObjC");
  const auto coercion = errorFrom(
      [&] { lateCall(settings, u"GetInt", InvokeKind::Method, {Variant(u"E"), Variant(40000)}); });
  ASSERT_TRUE(coercion.has_value());
  EXPECT_EQ(coercion->number(), 6);
  EXPECT_EQ(coercion->source().str(), u"VEZEzoro10.clsOrviInifINIFilesObjC");

  const ObjectRef main = create(u"VEZEzoro10.clsOrviVEZEzoro10A");
  const auto inside =
      errorFrom([&] { lateGet(main, u"GetProResPicture", {Variant(101), Variant(40000)}); });
  ASSERT_TRUE(inside.has_value());
  EXPECT_EQ(inside->number(), 6);
  EXPECT_EQ(inside->source().str(), u"VEZEzoro10.clsOrviVEZEzoro10A");
  EXPECT_EQ(inside->description().str(), u"Overflow");
  // The same through the typed interface.
  int32_t id = 101;
  int32_t kind = 40000;
  const auto typed =
      errorFrom([&] { objectAs<_clsOrviVEZEzoro10A>(main)->get_GetProResPicture(id, kind); });
  ASSERT_TRUE(typed.has_value());
  EXPECT_EQ(typed->number(), 6);
  EXPECT_EQ(typed->source().str(), u"VEZEzoro10.clsOrviVEZEzoro10A");

  // The runtime's Collection is no class of the library: its errors keep
  // the library as their source.
  const ObjectRef list = makeObject<Collection>();
  const auto outside = errorFrom([&] { lateCall(list, u"Item", InvokeKind::Method, {Variant(1)}); });
  ASSERT_TRUE(outside.has_value());
  EXPECT_EQ(outside->number(), 9);
  EXPECT_EQ(outside->source().str(), u"VEZEzoro10");
}

TEST(frameDispatchModel, WrongArgumentCountRaises450) {
  const ObjectRef key = create(u"VEZEzoro10.clsOrviInifKeyA");
  EXPECT_EQ(errorNumber([&] { lateCall(key, u"NameLong", InvokeKind::PropertyLet, {}); }), 450);
  EXPECT_EQ(errorNumber([&] {
              lateCall(key, u"NameLong", InvokeKind::PropertyLet, {Variant(u"a"), Variant(u"b")});
            }),
            450);
  EXPECT_EQ(errorNumber([&] { lateGet(key, u"Value", {Variant(1)}); }), 450);

  const ObjectRef keys = create(u"VEZEzoro10.clsOrviInifKeysA");
  EXPECT_EQ(errorNumber([&] { lateCall(keys, u"Add", InvokeKind::Method, {Variant(1)}); }), 450);
  EXPECT_EQ(errorNumber([&] { lateCall(keys, u"Item", InvokeKind::PropertyGet, {}); }), 450);
  const auto e = errorFrom([&] { lateCall(keys, u"Count", InvokeKind::PropertyGet, {Variant(1)}); });
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->number(), 450);
  EXPECT_EQ(e->description().str(), u"Wrong number of arguments or invalid property assignment");
}

TEST(frameDispatchModel, LetOfANumberStoresItsText) {
  const ObjectRef key = create(u"VEZEzoro10.clsOrviInifKeyA");
  lateLet(key, u"Value", i16(5));
  Variant got = lateGet(key, u"Value");
  EXPECT_EQ(got.type(), VarType::String);
  EXPECT_EQ(got.text().str(), u"5");
  lateLet(key, u"Value", Variant(1.5));
  EXPECT_EQ(lateGet(key, u"Value").text().str(), u"1.5");
  lateLet(key, u"NameLong", Variant::boolean(true));
  EXPECT_EQ(lateGet(key, u"NameLong").text().str(), u"True");
  lateLet(key, u"NameLong", Variant());
  EXPECT_EQ(lateGet(key, u"NameLong").text().str(), u"");
  // Null has no text; the value stays as it was.
  EXPECT_EQ(errorNumber([&] { lateLet(key, u"Value", Variant::null()); }), 94);
  EXPECT_EQ(lateGet(key, u"Value").text().str(), u"1.5");
}

TEST(frameDispatchModel, SetOfANonObjectOrAnotherClassIsATypeMismatch) {
  const ObjectRef section = create(u"VEZEzoro10.clsOrviInifSectionA");
  const ObjectRef keys = create(u"VEZEzoro10.clsOrviInifKeysA");
  lateSet(section, u"Keys", Variant(keys));

  EXPECT_EQ(errorNumber([&] { lateSet(section, u"Keys", Variant(u"keys")); }), 13);
  EXPECT_EQ(errorNumber([&] { lateSet(section, u"Keys", Variant(5)); }), 13);
  // A key, a sections container and a section are not a keys container.
  for (const char16_t* wrong : {u"VEZEzoro10.clsOrviInifKeyA", u"VEZEzoro10.clsOrviInifSectionsA",
                                u"VEZEzoro10.clsOrviInifSectionA", u"VEZEzoro10.clsOrviInifGeneralA"}) {
    SCOPED_TRACE(Text(wrong).utf8());
    const ObjectRef other = create(wrong);
    EXPECT_EQ(errorNumber([&] { lateSet(section, u"Keys", Variant(other)); }), 13);
  }
  // The refused sets left the container that was there.
  EXPECT_EQ(lateGet(section, u"Keys").toObject(), keys);

  const ObjectRef root = create(u"VEZEzoro10.clsOrviInifINIFilesObjA");
  EXPECT_EQ(errorNumber([&] { lateSet(root, u"Sections", Variant(keys)); }), 13);
  EXPECT_EQ(errorNumber([&] { lateSet(root, u"Sections", Variant(u"x")); }), 13);
  EXPECT_FALSE(lateGet(root, u"Sections").toObject());
}

TEST(frameDispatchModel, ItemLeavesItsByRefIndexUnchanged) {
  for (const char16_t* container : {u"VEZEzoro10.clsOrviInifSectionsA", u"VEZEzoro10.clsOrviInifKeysA"}) {
    SCOPED_TRACE(Text(container).utf8());
    const ObjectRef c = create(container);

    Variant number(i16(1));
    Variant item = lateGet(c, u"Item", {Variant::byRef(number)});
    EXPECT_EQ(item.type(), VarType::Object);
    EXPECT_FALSE(item.toObject());
    EXPECT_EQ(number.type(), VarType::Integer);
    EXPECT_EQ(number.int16(), 1);

    Variant name(u"key");
    EXPECT_FALSE(lateGet(c, u"Item", {Variant::byRef(name)}).toObject());
    EXPECT_EQ(name.type(), VarType::String);
    EXPECT_EQ(name.text().str(), u"key");

    Variant unset{Text()};
    EXPECT_FALSE(lateGet(c, u"Item", {Variant::byRef(unset)}).toObject());
    EXPECT_TRUE(unset.text().isUnset());

    Variant empty;
    EXPECT_FALSE(lateGet(c, u"Item", {Variant::byRef(empty)}).toObject());
    EXPECT_TRUE(empty.isEmpty());

    // Null or an object are accepted as they are: Item does not read Index.
    Variant null = Variant::null();
    EXPECT_FALSE(lateGet(c, u"Item", {Variant::byRef(null)}).toObject());
    EXPECT_EQ(null.type(), VarType::Null);
  }
}

TEST(frameDispatchModel, PropertyGetAndMethodAreInterchangeable) {
  const ObjectRef key = create(u"VEZEzoro10.clsOrviInifKeyA");
  lateLet(key, u"NameLong", Variant(u"name"));
  EXPECT_EQ(lateCall(key, u"NameLong", InvokeKind::Method).text().str(), u"name");

  const ObjectRef keys = create(u"VEZEzoro10.clsOrviInifKeysA");
  Variant count = lateCall(keys, u"Count", InvokeKind::Method);
  EXPECT_EQ(count.type(), VarType::Long);
  EXPECT_EQ(count.int32(), 0);
  Variant added = lateCall(keys, u"Add", InvokeKind::PropertyGet);
  EXPECT_EQ(added.type(), VarType::Long);
  EXPECT_EQ(added.int32(), 0);
  Variant index(1);
  EXPECT_FALSE(lateCall(keys, u"Item", InvokeKind::Method, {Variant::byRef(index)}).toObject());
}

// ---------------------------------------------------------------------------
// Creation

TEST_F(frameCreation, CreateByProgIdIgnoresCase) {
  for (const char16_t* progId : {u"VEZEzoro10.clsOrviInifKeyA", u"vezezoro10.clsorviinifkeya",
                                 u"VEZEZORO10.CLSORVIINIFKEYA"}) {
    SCOPED_TRACE(Text(progId).utf8());
    const ObjectRef o = createObject(progId);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->typeName(), u"clsOrviInifKeyA");
    EXPECT_TRUE(objectAs<_clsOrviInifKeyA>(o));
  }
  // Each creation is a new object.
  EXPECT_NE(createObject(u"VEZEzoro10.clsOrviInifKeyA"), createObject(u"VEZEzoro10.clsOrviInifKeyA"));
}

TEST_F(frameCreation, EveryClassIsCreatedByProgIdAndClassId) {
  const auto classes = libraryClasses();
  ASSERT_EQ(classes.size(), 11u);
  for (const ClassInfo* c : classes) {
    SCOPED_TRACE(Text(std::u16string(c->name)).utf8());
    const std::u16string id(c->classId);
    std::u16string upper = id;
    for (auto& ch : upper) {
      if (ch >= u'a' && ch <= u'z') ch = static_cast<char16_t>(ch - 32);
    }
    std::u16string mixed = id;
    for (std::size_t i = 0; i < mixed.size(); i += 2) {
      if (mixed[i] >= u'a' && mixed[i] <= u'z') mixed[i] = static_cast<char16_t>(mixed[i] - 32);
    }
    for (const std::u16string& name :
         {c->progId(), id, u"{" + id + u"}", upper, u"{" + upper + u"}", u"{" + mixed + u"}"}) {
      SCOPED_TRACE(Text(name).utf8());
      const ObjectRef o = createObject(name);
      ASSERT_TRUE(o);
      EXPECT_EQ(o->classInfo(), c);
    }
  }
}

TEST_F(frameCreation, UnknownNamesRaise429) {
  for (const char16_t* name :
       {u"VEZEzoro10.clsNoSuchClass", u"clsOrviInifKeyA", u"", u"VEZEzoro10.clsOrviInifKeyA ",
        u"{00000000-0000-0000-0000-000000000000}",
        // a class id with one brace is no class id, nor a ProgID
        u"{fe0d5cb9-6c87-4c71-bc3d-674c09c430f2",
        // an interface id is not a class id
        u"d3956b9f-bf6b-4f82-bc30-f8dd2461e6eb"}) {
    SCOPED_TRACE(Text(name).utf8());
    const auto e = errorFrom([&] { createObject(name); });
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), 429);
    EXPECT_EQ(e->description().str(), u"ActiveX component can't create object");
  }
}

// ---------------------------------------------------------------------------
// The type library

TEST(frameTypeLibrary, ClassesComeInTypeLibraryOrder) {
  std::vector<std::u16string> names;
  for (const ClassInfo* c : libraryClasses()) names.emplace_back(c->name);
  const std::vector<std::u16string> expected{
      u"clsOrviVEZEzoro10A",
      u"clsOrviInifSectionsA", u"clsOrviInifSectionA",  u"clsOrviInifKeysA",
      u"clsOrviInifKeyA",      u"clsOrviInifGeneralA",  u"clsOrviInifAdvancedA",
      u"clsOrviInifINIFilesObjA", u"clsOrviInifINIFilesObjB", u"clsOrviInifINIFilesObjC",
      u"clsOrviInifHeaderA"};
  EXPECT_EQ(names, expected);
}

TEST(frameTypeLibrary, ClassIdsAreDistinctLowerCaseAndProgIdsNameTheLibrary) {
  std::vector<std::u16string> ids;
  for (const ClassInfo* c : libraryClasses()) {
    const std::u16string id(c->classId);
    EXPECT_EQ(id.size(), 36u);
    EXPECT_EQ(std::count_if(id.begin(), id.end(), [](char16_t ch) { return ch >= u'A' && ch <= u'Z'; }), 0);
    EXPECT_EQ(c->progId(), u"VEZEzoro10." + std::u16string(c->name));
    EXPECT_EQ(c->interfaceName(), u"_" + std::u16string(c->name));
    ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

TEST(frameTypeLibrary, Identity) {
  const TypeLibraryInfo& lib = typeLibrary();
  EXPECT_EQ(lib.name, u"VEZEzoro10");
  EXPECT_EQ(lib.id, u"cd5c46dc-e09a-4aaa-98c6-27944042ac26");
  EXPECT_EQ(lib.majorVersion, 1);
  EXPECT_EQ(lib.minorVersion, 0);
  EXPECT_EQ(lib.locale, 1033u);
}

TEST(frameTypeLibrary, ExtractFileNameConstants) {
  const auto& enums = libraryEnums();
  const auto it = std::find_if(enums.begin(), enums.end(),
                               [](const EnumInfo& e) { return e.name == u"ExtractFileName_Constants"; });
  ASSERT_NE(it, enums.end());
  ASSERT_EQ(it->values.size(), 2u);
  EXPECT_EQ(it->values[0].first, u"exnFullName");
  EXPECT_EQ(it->values[0].second, 1);
  EXPECT_EQ(it->values[1].first, u"exnOnlyExtn");
  EXPECT_EQ(it->values[1].second, 2);
}

}  // namespace
}  // namespace zidevuv10
