// The application object App, one per thread.
#include <string>

#include "host/runtime.h"
#include "paths/drives.h"
#include "zidevuv10/library.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::frame {

namespace {

// The library file's name up to its first dot ("zidevuv10.so.1" -> "zidevuv10").
std::string baseName(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

std::string folderOf(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : file.substr(0, slash);
}

class AppObject final : public Object {
 public:
  AppObject()
      : path_(Text::fromUtf8(paths::toWindowsForm(folderOf(libraryFile())))),
        exeName_(Text::fromUtf8(baseName(libraryFile()))) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"App"; }
  const Text& path() const { return path_; }
  const Text& exeName() const { return exeName_; }

 private:
  Text path_;
  Text exeName_;
};

Variant number(int32_t v) { return Variant(static_cast<int16_t>(v)); }

const ClassInfo kApp{
    u"App",
    u"",
    u"",
    {
        {u"Path", InvokeKind::PropertyGet, 0x60020000, {}, {TypeCode::Text, {}},
         [](Object& o, CallArgs&) { return Variant(static_cast<AppObject&>(o).path()); }},
        {u"EXEName", InvokeKind::PropertyGet, 0x60020001, {}, {TypeCode::Text, {}},
         [](Object& o, CallArgs&) { return Variant(static_cast<AppObject&>(o).exeName()); }},
        {u"Title", InvokeKind::PropertyGet, 0x60020002, {}, {TypeCode::Text, {}},
         [](Object&, CallArgs&) { return Variant(Text(std::u16string(typeLibrary().name))); }},
        {u"Major", InvokeKind::PropertyGet, 0x60020003, {}, {TypeCode::Int16, {}},
         [](Object&, CallArgs&) { return number(typeLibrary().majorVersion); }},
        {u"Minor", InvokeKind::PropertyGet, 0x60020004, {}, {TypeCode::Int16, {}},
         [](Object&, CallArgs&) { return number(typeLibrary().minorVersion); }},
        {u"Revision", InvokeKind::PropertyGet, 0x60020005, {}, {TypeCode::Int16, {}},
         [](Object&, CallArgs&) { return number(0); }},
    }};

const ClassInfo* AppObject::classInfo() const { return &kApp; }

}  // namespace

ObjectRef appObject() {
  thread_local ObjectRef app(new AppObject());
  return app;
}

}  // namespace zidevuv10::frame
