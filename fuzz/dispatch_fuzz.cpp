// Fuzz target for late-bound calls: the argument binder (count, optional
// arguments, coercion to each parameter's type, by-reference write-back) and
// the members behind it.
//
// The input picks classes from the library's catalogue, creates them, and
// calls members by dispatch id with 0..8 Variants of every kind: Empty,
// Null, Missing, numbers, Booleans, texts with odd UTF-16 (unpaired
// surrogates, NULs), object references, string arrays (1-D and 2-D, fixed
// and dynamic) and by-reference wrappers around any of these. An
// AutomationError is an answer; any other exception, a crash or a sanitizer
// report is a finding.
//
// Everything a member could touch on disk lies in a scratch folder: HOME,
// the XDG folders, drive C and the registry point into it, and a text that
// a member takes as a file name is replaced by a name inside it (or stripped
// of its folder parts, which puts it in the scratch Windows directory).
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <exception>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "zidevuv10/collection.h"
#include "zidevuv10/error.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"
#include "zidevuv10/object.h"
#include "zidevuv10/safe_array.h"
#include "zidevuv10/type_info.h"
#include "zidevuv10/variant.h"

namespace {

using namespace zidevuv10;
using zidevuv10::fuzz::Bytes;
namespace stdfs = std::filesystem;

stdfs::path gFolder;

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// A window as SaveFormPosition and LoadFormPosition see one: a few
// properties answered from the input, Move and WindowState accepted.
class FakeForm : public Object {
 public:
  explicit FakeForm(std::vector<Variant> answers) : answers_(std::move(answers)) {}
  int32_t dispatchId(std::u16string_view name) const override {
    static constexpr std::u16string_view kNames[] = {u"Left", u"Top", u"Width", u"Height",
                                                     u"WindowState", u"Move", u"Name", u"Caption"};
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
      if (kNames[i].size() == name.size()) {
        bool same = true;
        for (std::size_t j = 0; j < name.size(); ++j) {
          const char16_t a = kNames[i][j], b = name[j];
          if (a != b && a != (b >= u'a' && b <= u'z' ? b - 32 : b)) same = false;
        }
        if (same) return static_cast<int32_t>(i + 1);
      }
    }
    raiseError(err::kMemberNotSupported);
  }
  Variant invoke(int32_t id, InvokeKind kind, std::span<Variant> args) override {
    if (kind == InvokeKind::PropertyLet || id == 6) {
      for (auto& a : args) (void)a.type();
      return Variant();
    }
    if (answers_.empty()) return Variant(int32_t{0});
    return answers_[static_cast<std::size_t>(id) % answers_.size()];
  }

 private:
  std::vector<Variant> answers_;
};

class Caller {
 public:
  explicit Caller(Bytes in) : in_(in) {}

  void run() {
    const auto classes = libraryClasses();
    const int creations = 1 + in_.byte() % 3;
    for (int i = 0; i < creations; ++i) {
      const ClassInfo* info = classes[in_.byte() % classes.size()];
      ObjectRef o = createObject(info->classId);
      keepPathsInside(o);
      objects_.push_back(o);
    }
    objects_.push_back(makeObject<FakeForm>(formAnswers()));
    for (int step = 0; step < 12 && !in_.empty(); ++step) call();
    // What a call kept per thread must not outlive the input.
    clearBuddy();
    emptyCollections();
  }

 private:
  // A settings object starts on a file next to the program; move it.
  void keepPathsInside(const ObjectRef& o) {
    const ClassInfo* info = o->classInfo();
    if (info == nullptr) return;
    for (const auto& m : info->members) {
      if (m.name == u"FullPath" && m.kind == InvokeKind::PropertyLet) {
        Variant v(Text(u16((gFolder / "work" / "settings.ini").string())));
        o->invoke(m.dispatchId, m.kind, std::span<Variant>(&v, 1));
      }
    }
  }
  void clearBuddy() {
    for (const auto& o : objects_) {
      const ClassInfo* info = o->classInfo();
      if (info == nullptr) continue;
      for (const auto& m : info->members) {
        if (m.name == u"BuddyObjectGlobal" && m.kind == InvokeKind::PropertySet) {
          Variant v{ObjectRef()};
          o->invoke(m.dispatchId, m.kind, std::span<Variant>(&v, 1));
          return;
        }
      }
    }
  }

  // A collection added to itself, or to one it holds, is a reference cycle
  // that counting never frees, as in any reference-counted runtime; a
  // program breaks it by removing the items. Every collection the input can
  // still reach is emptied, those inside collections too.
  void emptyCollections() {
    std::vector<ObjectRef> pending(objects_.begin(), objects_.end());
    while (!pending.empty()) {
      const Ref<Collection> c = objectAs<Collection>(pending.back());
      pending.pop_back();
      if (!c) continue;
      for (const Variant& item : *c) {
        if (item.type() == VarType::Object && item.toObject()) pending.push_back(item.toObject());
      }
      while (c->Count() > 0) c->Remove(Variant(int32_t{1}));
    }
  }

  std::vector<Variant> formAnswers() {
    std::vector<Variant> answers;
    const int n = in_.byte() % 5;
    for (int i = 0; i < n; ++i) answers.push_back(plainValue(0));
    return answers;
  }

  static bool isFileParameter(const MemberInfo& m, std::size_t i) {
    if (i < m.params.size()) {
      const auto name = m.params[i].name;
      if (name == u"sFileName" || name == u"FullPath" || name == u"filname") return true;
    }
    return m.kind == InvokeKind::PropertyLet &&
           (m.name == u"Path" || m.name == u"INIFileName" || m.name == u"FullPath");
  }

  std::u16string fileName() {
    const auto inside = [](const char* name) { return u16((gFolder / "work" / name).string()); };
    switch (in_.byte() % 10) {
      case 0: return inside("a.ini");
      case 1: return inside("A.INI");
      case 2: return inside("new.ini");
      case 3: return inside("nodir/x.ini");
      case 4: return u"WIN.INI";
      case 5: return u"C:\\WINDOWS\\WIN.INI";
      case 6: return u"c:\\windows\\sub.ini";
      case 7: return u16((gFolder / "work").string());  // a folder, not a file
      case 8: return u"";
      default: {
        // Fuzzed text without folder parts: a name in the scratch Windows directory.
        std::u16string s = text();
        std::erase_if(s, [](char16_t c) { return c == u'/' || c == u'\\' || c == u':'; });
        return s;
      }
    }
  }

  char16_t unit() {
    static constexpr char16_t kOdd[] = {0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0,   0xFFFF, 0xFEFF, 0x00E9,
                                        u'a',   u'Z',   u' ',   u'=',   u'[', u']',   u';',   u'\\',
                                        u'"',   u'\'',  u'0',   u'1',   u'9', u'-',   u'.',   u'&',
                                        u'H',   u'e',   u'\r',  u'\n',  u'\t', u',',  u'+',   u'%'};
    const uint8_t b = in_.byte();
    if (b < 0x80) return static_cast<char16_t>(b);
    if (b < 0xC0) return kOdd[b % std::size(kOdd)];
    return static_cast<char16_t>((b << 8) | in_.byte());
  }
  std::u16string text() {
    std::u16string s;
    const int n = in_.byte() % 24;
    for (int i = 0; i < n; ++i) s.push_back(unit());
    return s;
  }

  ObjectRef someObject() {
    const uint8_t b = in_.byte();
    if (b % 8 == 0) return ObjectRef();
    return objects_[b % objects_.size()];
  }

  std::shared_ptr<SafeArray> array() {
    const uint8_t shape = in_.byte();
    const auto type = shape & 8 ? SafeArray::ElementType::Variant : SafeArray::ElementType::String;
    const int dims = 1 + (shape & 1);
    std::vector<ArrayBound> bounds;
    for (int d = 0; d < dims; ++d) {
      const int32_t lower = static_cast<int32_t>(in_.byte() % 5) - 2;
      bounds.push_back({lower, lower + static_cast<int32_t>(in_.byte() % 4) - 1});
    }
    std::shared_ptr<SafeArray> a;
    if (shape & 2) {
      a = std::make_shared<SafeArray>(type, bounds);  // fixed size
    } else {
      a = std::make_shared<SafeArray>(type);
      if (shape & 4) a->redim(bounds, false);
    }
    if (a->dimensions() == 1) {
      for (int32_t i = a->lowerBound(1); i <= a->upperBound(1); ++i) a->at(i) = Variant(Text(text()));
    } else if (a->dimensions() == 2) {
      for (int32_t i = a->lowerBound(1); i <= a->upperBound(1); ++i) {
        for (int32_t j = a->lowerBound(2); j <= a->upperBound(2); ++j) a->at(i, j) = Variant(Text(text()));
      }
    }
    return a;
  }


  // A value of any kind but a reference.
  Variant plainValue(int depth) {
    switch (in_.byte() % 14) {
      case 0: return Variant();
      case 1: return Variant::null();
      case 2: return Variant::missing();
      case 3: return Variant(static_cast<int16_t>(in_.u16()));
      case 4: return Variant(static_cast<int32_t>(in_.u32()));
      case 5: {
        const uint32_t bits = in_.u32();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return Variant(f);
      }
      case 6: {
        const uint64_t bits = in_.u32() | (static_cast<uint64_t>(in_.u32()) << 32);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return Variant(d);
      }
      case 7: return Variant::boolean(in_.byte() & 1);
      case 8: return Variant(static_cast<uint8_t>(in_.byte()));
      case 9: return Variant(Text(text()));
      case 10: return Variant(Text());  // an unset text
      case 11: return Variant(someObject());
      case 12: return Variant(array());
      default: return depth < 1 ? Variant(Text(text())) : Variant(static_cast<int32_t>(in_.byte()));
    }
  }

  Variant argument(const MemberInfo& m, std::size_t i) {
    Variant v = plainValue(0);
    if (isFileParameter(m, i) && v.type() == VarType::String && (in_.byte() & 3) != 0) {
      v = Variant(Text(fileName()));
    } else if (isFileParameter(m, i) && v.type() == VarType::String) {
      std::u16string s = v.text().str();
      std::erase_if(s, [](char16_t c) { return c == u'/' || c == u'\\' || c == u':'; });
      v = Variant(Text(s));
    }
    if (in_.byte() % 3 == 0) {
      // By reference: the caller's variable lives in a stable place.
      variables_.push_back(std::move(v));
      return Variant::byRef(variables_.back());
    }
    return v;
  }

  void call() {
    ObjectRef o = objects_[in_.byte() % objects_.size()];
    const ClassInfo* info = o->classInfo();
    const MemberInfo* m = nullptr;
    int32_t id = static_cast<int32_t>(in_.u16());
    InvokeKind kind = InvokeKind::Method;
    const uint8_t pick = in_.byte();
    if (info != nullptr && !info->members.empty() && pick % 16 != 0) {
      m = &info->members[pick % info->members.size()];
      id = m->dispatchId;
      kind = m->kind;
    }
    if ((in_.byte() & 15) == 0) kind = static_cast<InvokeKind>(1 << (in_.byte() % 4));
    std::size_t count = m != nullptr ? m->params.size() : 0;
    if ((in_.byte() & 7) == 0) count = in_.byte() % 9;
    std::vector<Variant> args;
    static const MemberInfo kNone{};
    for (std::size_t i = 0; i < count; ++i) args.push_back(argument(m != nullptr ? *m : kNone, i));
    try {
      if ((pick & 0xF0) == 0xF0 && info != nullptr) {
        // By name, as a client without the table would.
        id = o->dispatchId(Text(text()).str());
      }
      Variant result = o->invoke(id, kind, args);
      if (result.type() == VarType::Object && objects_.size() < 8) {
        if (ObjectRef r = result.toObject()) objects_.push_back(r);
      }
    } catch (const AutomationError&) {
      // An error the caller sees as such: an answer, not a finding.
    }
  }

  Bytes in_;
  std::vector<ObjectRef> objects_;
  std::deque<Variant> variables_;
};

void writeFile(const stdfs::path& p, std::string_view bytes) {
  stdfs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static bool done = false;
  if (done) return 0;
  done = true;
  gFolder = zidevuv10::fuzz::scratchFolder("dispatch");
  for (const char* sub : {"home", "data", "config", "cache", "cwd", "work"}) stdfs::create_directories(gFolder / sub);
  setenv("HOME", (gFolder / "home").c_str(), 1);
  setenv("XDG_DATA_HOME", (gFolder / "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (gFolder / "config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (gFolder / "cache").c_str(), 1);
  setenv("ZIDEVUV10_DRIVE_C", (gFolder / "work" / "c").c_str(), 1);
  setenv("ZIDEVUV10_REGISTRY", (gFolder / "registry.ini").c_str(), 1);
  if (chdir((gFolder / "cwd").c_str()) != 0) std::abort();
  setMessageBoxHandler([](const Text&, int32_t, const Text&) { return int32_t{1}; });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  LLVMFuzzerInitialize(nullptr, nullptr);
  // The same files for every input, so that an input means the same each time.
  std::error_code ec;
  stdfs::remove_all(gFolder / "work", ec);
  writeFile(gFolder / "work" / "a.ini", "[sec]\r\nkey=value\r\nn=42\r\n[Form]\r\nLeft=100\r\nTop=x\r\n");
  writeFile(gFolder / "work" / "c" / "WINDOWS" / "WIN.INI", "[windows]\r\nload=\r\n[sec]\r\nk=\"q\"\r\n");
  try {
    Caller(Bytes(data, size)).run();
  } catch (const AutomationError&) {
    // Raised while setting up (a creation or a cleanup call); not a finding.
  }
  return 0;
}
