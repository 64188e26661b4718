// The application object App, one per thread.
#include <string>

#include "dispatch/typed_slot.h"
#include "runtime/runtime.h"
#include "paths/drives.h"
#include "paths/host_path.h"
#include "zidevuv10/library.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::frame {

namespace {

// The library file's name up to its first dot ("zidevuv10.so.1" -> "zidevuv10").
std::string baseName(const std::string& file) {
  const std::string name = paths::nameOf(file);
  return name.substr(0, name.find('.'));
}

class AppObject final : public Object {
 public:
  AppObject()
      : path_(Text::fromUtf8(paths::toWindowsForm(paths::folderOf(libraryFile())))),
        exeName_(Text::fromUtf8(baseName(libraryFile()))) {}
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"App"; }

  Text Path() const { return path_; }
  Text EXEName() const { return exeName_; }
  Text Title() const { return Text(std::u16string(typeLibrary().name)); }
  int16_t Major() const { return static_cast<int16_t>(typeLibrary().majorVersion); }
  int16_t Minor() const { return static_cast<int16_t>(typeLibrary().minorVersion); }
  int16_t Revision() const { return 0; }

 private:
  Text path_;
  Text exeName_;
};

const ClassInfo kApp{
    u"App",
    u"",
    u"",
    {
        propGet<&AppObject::Path>(u"Path", 0x60020000),
        propGet<&AppObject::EXEName>(u"EXEName", 0x60020001),
        propGet<&AppObject::Title>(u"Title", 0x60020002),
        propGet<&AppObject::Major>(u"Major", 0x60020003),
        propGet<&AppObject::Minor>(u"Minor", 0x60020004),
        propGet<&AppObject::Revision>(u"Revision", 0x60020005),
    }};

const ClassInfo* AppObject::classInfo() const { return &kApp; }

}  // namespace

ObjectRef appObject() {
  thread_local ObjectRef app(new AppObject());
  return app;
}

}  // namespace zidevuv10::frame
