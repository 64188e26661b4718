// clsOrviInifINIFilesObjB window placement: SaveFormPosition writes a
// window's state, position and size into the current section, and
// LoadFormPosition reads them back, raises sizes to the minimum, fits the
// window onto the screen and moves it. Both reach the window only by member
// names, so the tests use a window object of their own that records every
// call, can refuse Move, and can lack a member.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "support/automation_checks.h"
#include "support/test_files.h"
#include "zidevuv10/addressed.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"
#include "zidevuv10/profile.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {
namespace {

using testing::entriesOf;
using testing::errorNumber;
using testing::lateCall;
using Addressed = Ref<_clsOrviInifINIFilesObjB>;

Addressed newObject() {
  return objectAs<_clsOrviInifINIFilesObjB>(createObject(u"VEZEzoro10.clsOrviInifINIFilesObjB"));
}

void setPath(const Addressed& o, const std::string& path) {
  Text t = Text::fromUtf8(path);
  o->let_Path(t);
}
void setSection(const Addressed& o, Text t) { o->let_Section(t); }
void setKey(const Addressed& o, Text t) { o->let_Key(t); }
void setDefault(const Addressed& o, Text t) { o->let_Default(t); }

// ---------------------------------------------------------------------------
// A window of the tests' own.

class Window final : public Object {
 public:
  // `omit` names a member the window lacks (calls to it fail with 438).
  explicit Window(std::u16string_view omit = {});
  const ClassInfo* classInfo() const override { return &info_; }

  Variant left = Variant(100);
  Variant top = Variant(200);
  Variant width = Variant(4000);
  Variant height = Variant(3500);
  int16_t state = 0;
  bool moveFails = false;

  // Every call in order: "WindowState?", "WindowState=2", "Left?", "Move(l,t,w,h)".
  std::vector<std::string> calls;
  std::vector<std::array<int32_t, 4>> moves;

  std::vector<std::string> movesAndStateChanges() const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
      if (c.rfind("Move", 0) == 0 || c.rfind("WindowState=", 0) == 0) out.push_back(c);
    }
    return out;
  }

 private:
  ClassInfo info_;
};

Window& window(Object& o) { return static_cast<Window&>(o); }

Variant getter(Object& o, const char* name, const Variant& value) {
  window(o).calls.push_back(std::string(name) + "?");
  return value;
}

const std::vector<MemberInfo>& windowMembers() {
  static const std::vector<MemberInfo> members{
      {u"WindowState", InvokeKind::PropertyGet, 1, {}, {TypeCode::Int16, {}},
       [](Object& o, CallArgs&) { return getter(o, "WindowState", Variant(window(o).state)); }},
      {u"WindowState", InvokeKind::PropertyLet, 1, {{u"v", {TypeCode::Int16, {}}}}, {},
       [](Object& o, CallArgs& a) {
         window(o).state = a.int16(0);
         window(o).calls.push_back("WindowState=" + std::to_string(a.int16(0)));
         return Variant();
       }},
      {u"Left", InvokeKind::PropertyGet, 2, {}, {TypeCode::Variant, {}},
       [](Object& o, CallArgs&) { return getter(o, "Left", window(o).left); }},
      {u"Top", InvokeKind::PropertyGet, 3, {}, {TypeCode::Variant, {}},
       [](Object& o, CallArgs&) { return getter(o, "Top", window(o).top); }},
      {u"Width", InvokeKind::PropertyGet, 4, {}, {TypeCode::Variant, {}},
       [](Object& o, CallArgs&) { return getter(o, "Width", window(o).width); }},
      {u"Height", InvokeKind::PropertyGet, 5, {}, {TypeCode::Variant, {}},
       [](Object& o, CallArgs&) { return getter(o, "Height", window(o).height); }},
      {u"Move",
       InvokeKind::Method,
       6,
       {{u"l", {TypeCode::Int32, {}}, true},
        {u"t", {TypeCode::Int32, {}}, true},
        {u"w", {TypeCode::Int32, {}}, true},
        {u"h", {TypeCode::Int32, {}}, true}},
       {},
       [](Object& o, CallArgs& a) {
         Window& w = window(o);
         const std::array<int32_t, 4> m{a.int32(0), a.int32(1), a.int32(2), a.int32(3)};
         w.calls.push_back("Move(" + std::to_string(m[0]) + "," + std::to_string(m[1]) + "," +
                           std::to_string(m[2]) + "," + std::to_string(m[3]) + ")");
         if (w.moveFails) raiseError(err::kInvalidCall);
         w.moves.push_back(m);
         return Variant();
       }},
  };
  return members;
}

Window::Window(std::u16string_view omit)
    : info_{u"TestWindow", u"6f1d2c3b-0000-4000-8000-000000000010",
            u"6f1d2c3b-0000-4000-8000-000000000011", {}} {
  for (const MemberInfo& m : windowMembers()) {
    if (m.name != omit) info_.members.push_back(m);
  }
}

// Installs a screen for one test and puts the previous provider back.
class ScopedScreen {
 public:
  ScopedScreen(int32_t widthPixels, int32_t heightPixels, int32_t twipsX, int32_t twipsY)
      : previous_(setScreenProvider([=] {
          ScreenMetrics m;
          m.widthPixels = widthPixels;
          m.heightPixels = heightPixels;
          m.twipsPerPixelX = twipsX;
          m.twipsPerPixelY = twipsY;
          return m;
        })) {}
  ~ScopedScreen() { setScreenProvider(std::move(previous_)); }
  ScopedScreen(const ScopedScreen&) = delete;
  ScopedScreen& operator=(const ScopedScreen&) = delete;

 private:
  ScreenProvider previous_;
};

using Moves = std::vector<std::array<int32_t, 4>>;
using Calls = std::vector<std::string>;

// The screen is 1000 x 800 pixels at 15 twips each: 15000 x 12000 twips,
// with a margin of 4 pixels (60 twips) on every side.
class AddressedPlacement : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = dir_.file("forms.ini");
    o_ = newObject();
    setPath(o_, file_);
    setSection(o_, u"Form");
    setKey(o_, u"Keep");
    setDefault(o_, u"dflt");
  }

  void writeEntries(const std::string& lines) { testing::writeFile(file_, "[Form]\r\n" + lines); }

  // LoadFormPosition with the minimum sizes omitted or given.
  void load(const Ref<Window>& w, Variant minWidth = Variant::missing(),
            Variant minHeight = Variant::missing()) {
    ObjectRef ref(w);
    o_->LoadFormPosition(ref, minWidth, minHeight);
  }
  void save(const Ref<Window>& w) {
    ObjectRef ref(w);
    o_->SaveFormPosition(ref);
  }

  // Makes LastReturnCode 1 with a write elsewhere in the file's folder.
  void succeedAWrite() {
    setPath(o_, dir_.file("other.ini"));
    Text v(u"1");
    o_->let_Value(v);
    ASSERT_EQ(o_->get_LastReturnCode(), 1);
    setPath(o_, file_);
  }
  // Makes LastReturnCode 0 with a write the store refuses (a missing folder).
  void failAWrite() {
    setPath(o_, dir_.file("missing/forms.ini"));
    Text v(u"1");
    o_->let_Value(v);
    ASSERT_EQ(o_->get_LastReturnCode(), 0);
    setPath(o_, file_);
  }

  // The fields Load and Save must leave as they found them.
  void expectFieldsKept(const char* key = "Keep", const char* def = "dflt") {
    EXPECT_EQ(o_->get_Key(), key ? Text::fromUtf8(key) : Text::unset());
    EXPECT_EQ(o_->get_Default(), def ? Text::fromUtf8(def) : Text::unset());
    EXPECT_EQ(o_->get_Path(), Text::fromUtf8(file_));
    EXPECT_EQ(o_->get_Section().str(), u"Form");
  }

  testing::ScopedDriveC driveC_;
  testing::TempDir dir_;
  ScopedScreen screen_{1000, 800, 15, 15};
  std::string file_;
  Addressed o_;
};

// ---------------------------------------------------------------------------
// SaveFormPosition

TEST_F(AddressedPlacement, SaveWritesStateThenPositionAndSizeInOrder) {
  const auto w = makeObject<Window>();
  save(w);
  EXPECT_EQ(entriesOf(file_, "Form"), (std::vector<std::string>{"Maximised=0", "Left=100", "Top=200",
                                                                "Width=4000", "Height=3500"}));
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  expectFieldsKept();
  EXPECT_TRUE(w->moves.empty());
  for (const auto& c : w->calls) EXPECT_EQ(c.back(), '?') << "Save only reads the window: " << c;
}

TEST_F(AddressedPlacement, SaveWritesWindowValuesAsText) {
  const auto w = makeObject<Window>();
  w->left = Variant(1.5f);
  w->top = Variant(-30);
  w->width = Variant(2.25);
  w->height = Variant(static_cast<int16_t>(720));
  save(w);
  EXPECT_EQ(entriesOf(file_, "Form"), (std::vector<std::string>{"Maximised=0", "Left=1.5", "Top=-30",
                                                                "Width=2.25", "Height=720"}));
}

TEST_F(AddressedPlacement, SaveOfAMaximisedWindowWritesOnlyTheFlag) {
  writeEntries("Left=5\r\nTop=6\r\nWidth=7000\r\nHeight=8000\r\n");
  const auto w = makeObject<Window>();
  w->state = 2;
  save(w);
  // The earlier placement stays for when the window is restored.
  EXPECT_EQ(entriesOf(file_, "Form"), (std::vector<std::string>{"Left=5", "Top=6", "Width=7000",
                                                                "Height=8000", "Maximised=1"}));
  EXPECT_EQ(o_->get_LastReturnCode(), 1);
  expectFieldsKept();
}

TEST_F(AddressedPlacement, SaveOfAMinimisedWindowWritesNothing) {
  const auto w = makeObject<Window>();
  w->state = 1;
  for (const bool failed : {false, true}) {
    SCOPED_TRACE(failed ? "after a failed write" : "after a successful write");
    if (failed) {
      failAWrite();
    } else {
      succeedAWrite();
    }
    save(w);
    EXPECT_FALSE(testing::fileExists(file_));
    EXPECT_EQ(o_->get_LastReturnCode(), failed ? 0 : 1);
    expectFieldsKept();
  }
}

TEST_F(AddressedPlacement, SaveRestoresAnUnsetKey) {
  setKey(o_, Text::unset());
  setDefault(o_, Text::unset());
  save(makeObject<Window>());
  EXPECT_EQ(entriesOf(file_, "Form").size(), 5u);
  expectFieldsKept(nullptr, nullptr);
}

TEST_F(AddressedPlacement, SaveIntoAMissingFolderReportsTheFailure) {
  succeedAWrite();
  setPath(o_, dir_.file("missing/forms.ini"));
  save(makeObject<Window>());
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
  EXPECT_EQ(o_->get_Success(), kFalse);
  EXPECT_EQ(o_->get_Key().str(), u"Keep");
}

TEST_F(AddressedPlacement, SaveFromAWindowLackingAMemberStopsQuietly) {
  succeedAWrite();
  const auto w = makeObject<Window>(u"Width");
  EXPECT_EQ(errorNumber([&] { save(w); }), 0);
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
  expectFieldsKept();
  // What was written before the failure stays.
  EXPECT_EQ(entriesOf(file_, "Form"),
            (std::vector<std::string>{"Maximised=0", "Left=100", "Top=200"}));
}

TEST_F(AddressedPlacement, LateBoundSaveThenLoadRoundTrips) {
  const auto w = makeObject<Window>();
  w->left = Variant(321);
  w->top = Variant(654);
  w->width = Variant(5000);
  w->height = Variant(4000);
  lateCall(ObjectRef(o_), u"SaveFormPosition", InvokeKind::Method, {Variant(ObjectRef(w))});
  EXPECT_EQ(o_->get_LastReturnCode(), 1);

  const auto other = makeObject<Window>();
  lateCall(ObjectRef(o_), u"LoadFormPosition", InvokeKind::Method, {Variant(ObjectRef(other))});
  EXPECT_EQ(other->moves, (Moves{{321, 654, 5000, 4000}}));
  EXPECT_EQ(other->state, 0);
  expectFieldsKept();
}

// ---------------------------------------------------------------------------
// LoadFormPosition: what is read

TEST_F(AddressedPlacement, LoadWithoutEntriesUsesTheWindowsOwnPlacement) {
  const auto w = makeObject<Window>();
  load(w);
  EXPECT_EQ(w->moves, (Moves{{100, 200, 4000, 3500}}));
  EXPECT_EQ(w->movesAndStateChanges(), (Calls{"Move(100,200,4000,3500)"}));
  EXPECT_FALSE(testing::fileExists(file_)) << "loading creates no file";
  expectFieldsKept();

  // The window's own values are fitted like stored ones.
  const auto off = makeObject<Window>();
  off->left = Variant(14000);
  off->top = Variant(0);
  load(off);
  EXPECT_EQ(off->moves, (Moves{{10940, 60, 4000, 3500}}));
}

TEST_F(AddressedPlacement, TheCallersDefaultDoesNotStandInForMissingEntries) {
  // Were the caller's numeric Default read for missing entries, the window
  // would move to 500,500 and be maximised.
  setDefault(o_, u"500");
  const auto w = makeObject<Window>();
  load(w);
  EXPECT_EQ(w->movesAndStateChanges(), (Calls{"Move(100,200,4000,3500)"}));
  EXPECT_EQ(w->state, 0);
  expectFieldsKept("Keep", "500");
}

TEST_F(AddressedPlacement, WindowValuesRoundHalfToEven) {
  const auto w = makeObject<Window>();
  w->left = Variant(100.5f);
  w->top = Variant(201.5f);
  w->width = Variant(4000.5);
  w->height = Variant(3500.4f);
  load(w);
  EXPECT_EQ(w->moves, (Moves{{100, 202, 4000, 3500}}));
}

TEST_F(AddressedPlacement, StoredEntriesWinAndNonNumbersFallBackToTheWindow) {
  writeEntries("Left=abc\r\nTop=300\r\nWidth=5000\r\nHeight=\r\n");
  const auto w = makeObject<Window>();
  w->left = Variant(700);
  w->height = Variant(4100);
  load(w);
  EXPECT_EQ(w->moves, (Moves{{700, 300, 5000, 4100}}));

  // Stored fractions round half to even.
  writeEntries("Left=102.5\r\nTop=103.5\r\nWidth=3000\r\nHeight=3000\r\n");
  const auto r = makeObject<Window>();
  load(r);
  EXPECT_EQ(r->moves, (Moves{{102, 104, 3000, 3000}}));
}

TEST_F(AddressedPlacement, AStoredFAILIsNoNumberEither) {
  // "FAIL" is what a missing entry reads as; stored, it means the same.
  writeEntries("Left=FAIL\r\nTop=400\r\n");
  const auto w = makeObject<Window>();
  w->left = Variant(900);
  load(w);
  EXPECT_EQ(w->moves, (Moves{{900, 400, 4000, 3500}}));
}

// ---------------------------------------------------------------------------
// LoadFormPosition: minimum sizes and the fit onto the screen

TEST_F(AddressedPlacement, SizesBelowTheMinimumAreRaised) {
  writeEntries("Left=100\r\nTop=100\r\nWidth=1000\r\nHeight=1000\r\n");
  const auto w = makeObject<Window>();
  load(w);
  EXPECT_EQ(w->moves, (Moves{{100, 100, 3000, 3000}}));

  const auto bigger = makeObject<Window>();
  load(bigger, Variant(3500), Variant(static_cast<int16_t>(4000)));
  EXPECT_EQ(bigger->moves, (Moves{{100, 100, 3500, 4000}}));

  // Smaller minimums let small sizes through.
  const auto small = makeObject<Window>();
  load(small, Variant(500), Variant(800.0));
  EXPECT_EQ(small->moves, (Moves{{100, 100, 1000, 1000}}));
}

TEST_F(AddressedPlacement, PositionsInsideTheMarginMoveToTheMargin) {
  writeEntries("Left=0\r\nTop=-500\r\nWidth=4000\r\nHeight=3000\r\n");
  const auto w = makeObject<Window>();
  load(w);
  EXPECT_EQ(w->moves, (Moves{{60, 60, 4000, 3000}}));

  writeEntries("Left=59\r\nTop=60\r\nWidth=4000\r\nHeight=3000\r\n");
  const auto edge = makeObject<Window>();
  load(edge);
  EXPECT_EQ(edge->moves, (Moves{{60, 60, 4000, 3000}}));
}

TEST_F(AddressedPlacement, WindowsReachingPastTheFarMarginMoveBack) {
  writeEntries("Left=12000\r\nTop=10000\r\nWidth=4000\r\nHeight=3000\r\n");
  const auto w = makeObject<Window>();
  load(w);
  // 15000 - 60 - 4000 and 12000 - 60 - 3000.
  EXPECT_EQ(w->moves, (Moves{{10940, 8940, 4000, 3000}}));

  // Exactly at the far margin is inside.
  writeEntries("Left=10940\r\nTop=8940\r\nWidth=4000\r\nHeight=3000\r\n");
  const auto edge = makeObject<Window>();
  load(edge);
  EXPECT_EQ(edge->moves, (Moves{{10940, 8940, 4000, 3000}}));
}

TEST_F(AddressedPlacement, WindowsLargerThanTheScreenAreCut) {
  writeEntries("Left=0\r\nTop=0\r\nWidth=20000\r\nHeight=15000\r\n");
  const auto w = makeObject<Window>();
  load(w);
  // Placed at the margin and cut to the screen less both margins.
  EXPECT_EQ(w->moves, (Moves{{60, 60, 14880, 11880}}));

  // From a position to the right, too: first moved back, then cut.
  writeEntries("Left=5000\r\nTop=100\r\nWidth=14900\r\nHeight=3000\r\n");
  const auto wide = makeObject<Window>();
  load(wide);
  EXPECT_EQ(wide->moves, (Moves{{60, 100, 14880, 3000}}));
}

TEST_F(AddressedPlacement, AMinimumWiderThanTheScreenLeavesTheWindowUnmoved) {
  writeEntries("Left=100\r\nTop=100\r\nWidth=5000\r\nHeight=4000\r\nMaximised=1\r\n");
  const auto w = makeObject<Window>();
  load(w, Variant(16000));
  // Raised to 16000, cut back to 14880, then below the minimum: no move.
  EXPECT_TRUE(w->moves.empty());
  // The stored state still applies.
  EXPECT_EQ(w->movesAndStateChanges(), (Calls{"WindowState=2"}));
  EXPECT_EQ(w->state, 2);
  expectFieldsKept();

  const auto tall = makeObject<Window>();
  load(tall, Variant(3000), Variant(12000));
  EXPECT_TRUE(tall->moves.empty());
}

TEST_F(AddressedPlacement, TheMarginFollowsTheScreensTwipsPerPixel) {
  // 800 x 600 pixels at 12 x 20 twips: 9600 x 12000 twips, margins 48 and 80.
  ScopedScreen other(800, 600, 12, 20);
  writeEntries("Left=0\r\nTop=0\r\nWidth=9000\r\nHeight=3000\r\n");
  const auto w = makeObject<Window>();
  load(w);
  EXPECT_EQ(w->moves, (Moves{{48, 80, 9000, 3000}}));

  writeEntries("Left=1000\r\nTop=11000\r\nWidth=9000\r\nHeight=3000\r\n");
  const auto far = makeObject<Window>();
  load(far);
  // 9600 - 48 - 9000 = 552; 12000 - 80 - 3000 = 8920.
  EXPECT_EQ(far->moves, (Moves{{552, 8920, 9000, 3000}}));
}

TEST_F(AddressedPlacement, TheScreenIsAskedAtEachLoad) {
  writeEntries("Left=9000\r\nTop=100\r\nWidth=4000\r\nHeight=3000\r\n");
  const auto w = makeObject<Window>();
  load(w);
  EXPECT_EQ(w->moves, (Moves{{9000, 100, 4000, 3000}}));
  {
    ScopedScreen small(800, 600, 15, 15);  // 12000 twips wide
    const auto again = makeObject<Window>();
    load(again);
    EXPECT_EQ(again->moves, (Moves{{7940, 100, 4000, 3000}}));
  }
}

// ---------------------------------------------------------------------------
// LoadFormPosition: the maximised state

TEST_F(AddressedPlacement, MaximisedIsAppliedAfterTheMove) {
  writeEntries("Maximised=1\r\nLeft=100\r\nTop=100\r\nWidth=4000\r\nHeight=3000\r\n");
  const auto w = makeObject<Window>();
  load(w);
  EXPECT_EQ(w->movesAndStateChanges(), (Calls{"Move(100,100,4000,3000)", "WindowState=2"}));
  EXPECT_EQ(w->state, 2);
  expectFieldsKept();
}

TEST_F(AddressedPlacement, OnlyANonZeroNumberMaximises) {
  for (const char* flag : std::vector<const char*>{"0", "abc", "", "FAIL", nullptr}) {
    SCOPED_TRACE(flag ? flag : "(no entry)");
    writeEntries(std::string("Left=100\r\nTop=100\r\n") +
                 (flag ? std::string("Maximised=") + flag + "\r\n" : std::string()));
    const auto w = makeObject<Window>();
    w->state = 0;
    load(w);
    EXPECT_EQ(w->movesAndStateChanges(), (Calls{"Move(100,100,4000,3500)"}));
  }
  for (const char* flag : {"-1", "7", "2.5"}) {
    SCOPED_TRACE(flag);
    writeEntries(std::string("Maximised=") + flag + "\r\n");
    const auto w = makeObject<Window>();
    load(w);
    EXPECT_EQ(w->state, 2);
  }
}

// ---------------------------------------------------------------------------
// LoadFormPosition: fields, LastReturnCode and failures

TEST_F(AddressedPlacement, LoadRestoresKeyAndDefaultAndKeepsLastReturnCode) {
  writeEntries("Left=100\r\nTop=100\r\nWidth=4000\r\nHeight=3000\r\nMaximised=1\r\n");
  for (const bool failed : {false, true}) {
    SCOPED_TRACE(failed ? "after a failed write" : "after a successful write");
    if (failed) {
      failAWrite();
    } else {
      succeedAWrite();
    }
    load(makeObject<Window>());
    EXPECT_EQ(o_->get_LastReturnCode(), failed ? 0 : 1);
    expectFieldsKept();
  }
  // Unset fields come back unset.
  setKey(o_, Text::unset());
  setDefault(o_, Text::unset());
  const auto w = makeObject<Window>();
  load(w);
  EXPECT_EQ(w->moves.size(), 1u);
  expectFieldsKept(nullptr, nullptr);
  // An empty Default stays empty rather than unset.
  setDefault(o_, Text::empty());
  load(makeObject<Window>());
  EXPECT_EQ(o_->get_Default(), Text::empty());
}

TEST_F(AddressedPlacement, AMoveThatFailsIsSwallowed) {
  writeEntries("Left=100\r\nTop=100\r\nWidth=4000\r\nHeight=3000\r\nMaximised=1\r\n");
  succeedAWrite();
  const auto w = makeObject<Window>();
  w->moveFails = true;
  EXPECT_EQ(errorNumber([&] { load(w); }), 0);
  EXPECT_EQ(w->movesAndStateChanges(), (Calls{"Move(100,100,4000,3000)"}))
      << "no maximise after the failure";
  EXPECT_EQ(w->state, 0);
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
  EXPECT_EQ(o_->get_Success(), kFalse);
  expectFieldsKept();

  // Unset fields are restored unset on this path too.
  setKey(o_, Text::unset());
  setDefault(o_, Text::unset());
  load(w);
  expectFieldsKept(nullptr, nullptr);
}

TEST_F(AddressedPlacement, AWindowLackingAMemberIsSwallowed) {
  writeEntries("Left=100\r\nTop=100\r\nWidth=4000\r\nHeight=3000\r\nMaximised=1\r\n");
  for (const char16_t* missing : {u"Left", u"Height", u"Move"}) {
    SCOPED_TRACE(Text(missing).utf8());
    succeedAWrite();
    const auto w = makeObject<Window>(missing);
    EXPECT_EQ(errorNumber([&] { load(w); }), 0);
    EXPECT_TRUE(w->moves.empty());
    EXPECT_EQ(w->state, 0) << "no maximise after the failure";
    EXPECT_EQ(o_->get_LastReturnCode(), 0);
    expectFieldsKept();
  }
  // A window that cannot be maximised fails at the very end, also quietly.
  succeedAWrite();
  const auto fixed = makeObject<Window>(u"WindowState");
  EXPECT_EQ(errorNumber([&] { load(fixed); }), 0);
  EXPECT_EQ(fixed->moves.size(), 1u);
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
  expectFieldsKept();
}

TEST_F(AddressedPlacement, ASumBeyondTheLongRangeIsAFailure) {
  writeEntries("Left=2147483000\r\nTop=100\r\nWidth=4000\r\nHeight=3000\r\n");
  succeedAWrite();
  const auto w = makeObject<Window>();
  EXPECT_EQ(errorNumber([&] { load(w); }), 0);
  EXPECT_TRUE(w->moves.empty());
  EXPECT_EQ(o_->get_LastReturnCode(), 0);
  expectFieldsKept();
}

TEST_F(AddressedPlacement, LateBoundLoadTakesMinimumsAsAnyNumber) {
  writeEntries("Left=100\r\nTop=100\r\nWidth=1000\r\nHeight=1000\r\n");
  const ObjectRef o(o_);
  const auto w = makeObject<Window>();
  lateCall(o, u"LoadFormPosition", InvokeKind::Method, {Variant(ObjectRef(w))});
  EXPECT_EQ(w->moves, (Moves{{100, 100, 3000, 3000}}));

  const auto given = makeObject<Window>();
  Variant minWidth(u"3200");
  lateCall(o, u"LoadFormPosition", InvokeKind::Method,
           {Variant(ObjectRef(given)), Variant::byRef(minWidth), Variant(3100.0)});
  EXPECT_EQ(given->moves, (Moves{{100, 100, 3200, 3100}}));
  EXPECT_EQ(minWidth.text().str(), u"3200") << "the caller's minimum is not changed";

  const auto omitted = makeObject<Window>();
  lateCall(o, u"LoadFormPosition", InvokeKind::Method,
           {Variant(ObjectRef(omitted)), Variant::missing(), Variant(1200)});
  EXPECT_EQ(omitted->moves, (Moves{{100, 100, 3000, 1200}}));

  EXPECT_EQ(errorNumber([&] { lateCall(o, u"LoadFormPosition", InvokeKind::Method, {}); }), 450);
  EXPECT_EQ(errorNumber([&] {
              lateCall(o, u"SaveFormPosition", InvokeKind::Method, {Variant(u"not a window")});
            }),
            13);
}

}  // namespace
}  // namespace zidevuv10
