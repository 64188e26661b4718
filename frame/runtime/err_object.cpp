// The error object Err, one per thread: the error being handled.
#include "dispatch/typed_slot.h"
#include "runtime/runtime.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::frame {

class ErrObject final : public Object {
 public:
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"ErrObject"; }

  int32_t number = 0;
  Text description = Text::empty();
  Text source = Text::empty();

  int32_t get_Number() const { return number; }
  void let_Number(int32_t n) { number = n; }
  Text get_Source() const { return source; }
  void let_Source(const Text& s) { source = s; }
  Text get_Description() const { return description; }
  void let_Description(const Text& d) { description = d; }
  void clear() {
    number = 0;
    description = Text::empty();
    source = Text::empty();
  }
  // Raises error n with the given source and description; omitted, the
  // standard description and the library as source.
  [[noreturn]] void Raise(int32_t n, const Variant& src, const Variant& desc) {
    throw AutomationError(n, desc.isMissing() ? Text(standardDescription(n)) : desc.toText(),
                          src.isMissing() ? Text(std::u16string(kLibrarySource)) : src.toText());
  }
};

namespace {

const ClassInfo kErr{
    u"ErrObject",
    u"",
    u"",
    {
        propGet<&ErrObject::get_Number>(u"Number", 0),
        propLet<&ErrObject::let_Number>(u"Number", 0, u"Number"),
        propGet<&ErrObject::get_Source>(u"Source", 0x60020001),
        propLet<&ErrObject::let_Source>(u"Source", 0x60020001, u"sNewValue"),
        propGet<&ErrObject::get_Description>(u"Description", 0x60020002),
        propLet<&ErrObject::let_Description>(u"Description", 0x60020002, u"sNewValue"),
        method<&ErrObject::clear>(u"Clear", 0x60020003),
        method<&ErrObject::Raise>(u"Raise", 0x60020004, u"Number", optional(u"Source"),
                                  optional(u"Description")),
    }};

ErrObject& threadErr() {
  thread_local Ref<ErrObject> err(new ErrObject());
  return *err;
}

}  // namespace

const ClassInfo* ErrObject::classInfo() const { return &kErr; }

ObjectRef errObject() { return ObjectRef(&threadErr()); }

void setErr(const AutomationError& error) {
  ErrObject& e = threadErr();
  e.number = error.number();
  e.description = error.description();
  e.source = error.source();
}

void clearErr() { threadErr().clear(); }

}  // namespace zidevuv10::frame
