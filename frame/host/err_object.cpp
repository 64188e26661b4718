// The error object Err, one per thread: the error being handled.
#include "host/runtime.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::frame {

class ErrObject final : public Object {
 public:
  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"ErrObject"; }

  int32_t number = 0;
  Text description = Text::empty();
  Text source = Text::empty();

  void clear() {
    number = 0;
    description = Text::empty();
    source = Text::empty();
  }
};

namespace {

ErrObject& self(Object& o) { return static_cast<ErrObject&>(o); }

const ParamInfo kNumber{u"Number", {TypeCode::Int32, {}}};
const ParamInfo kText{u"sNewValue", {TypeCode::Text, {}}};

const ClassInfo kErr{
    u"ErrObject",
    u"",
    u"",
    {
        {u"Number", InvokeKind::PropertyGet, 0, {}, {TypeCode::Int32, {}},
         [](Object& o, CallArgs&) { return Variant(self(o).number); }},
        {u"Number", InvokeKind::PropertyLet, 0, {kNumber}, {},
         [](Object& o, CallArgs& a) {
           self(o).number = a.int32(0);
           return Variant();
         }},
        {u"Source", InvokeKind::PropertyGet, 0x60020001, {}, {TypeCode::Text, {}},
         [](Object& o, CallArgs&) { return Variant(self(o).source); }},
        {u"Source", InvokeKind::PropertyLet, 0x60020001, {kText}, {},
         [](Object& o, CallArgs& a) {
           self(o).source = a.text(0);
           return Variant();
         }},
        {u"Description", InvokeKind::PropertyGet, 0x60020002, {}, {TypeCode::Text, {}},
         [](Object& o, CallArgs&) { return Variant(self(o).description); }},
        {u"Description", InvokeKind::PropertyLet, 0x60020002, {kText}, {},
         [](Object& o, CallArgs& a) {
           self(o).description = a.text(0);
           return Variant();
         }},
        {u"Clear", InvokeKind::Method, 0x60020003, {}, {},
         [](Object& o, CallArgs&) {
           self(o).clear();
           return Variant();
         }},
        {u"Raise", InvokeKind::Method, 0x60020004,
         {kNumber, {u"Source", {TypeCode::Variant, {}}, false, true},
          {u"Description", {TypeCode::Variant, {}}, false, true}},
         {},
         [](Object&, CallArgs& a) -> Variant {
           const int32_t n = a.int32(0);
           const Variant& src = a.variant(1);
           const Variant& desc = a.variant(2);
           throw AutomationError(
               n, desc.isMissing() ? Text(standardDescription(n)) : desc.toText(),
               src.isMissing() ? Text(std::u16string(kLibrarySource)) : src.toText());
         }},
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
