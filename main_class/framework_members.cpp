// The framework members: the application object, the library's resources,
// the About command through the sibling library, and the per-thread
// BuddyObjectGlobal reference.
#include <array>

#include "automation/member_guard.h"
#include "main_class.h"
#include "runtime/runtime.h"
#include "state/thread_state.h"
#include "zidevuv10/host.h"
#include "zidevuv10/library.h"

namespace zidevuv10::main_class {

namespace {

constexpr std::u16string_view kAboutClass = u"OrviCommons10.clsOrviCommons10A";
constexpr std::u16string_view kReportClass = u"OrviCommons10.clsOrvicmErrorHandlerA";

// Reports an error of About through the sibling's error-report service. A
// failure here is not handled again: it ends About.
void report(const AutomationError& error) {
  frame::setErr(error);
  ObjectRef reporter = createObject(kReportClass);
  Variant app(frame::appObject());
  Variant err(frame::errObject());
  Variant text1{Text()};
  Variant procedure{Text(u"basOrvicmCommonA.AppAboutOrvicm_Pro")};
  Variant number1{int32_t{0}};
  Variant text2{Text()};
  Variant number2{int32_t{0}};
  std::array<Variant, 8> args{Variant::byRef(app),     Variant::byRef(err),
                              Variant::byRef(text1),   Variant::byRef(procedure),
                              Variant::byRef(number1), Variant::byRef(text2),
                              Variant::byRef(number2), Variant::missing()};
  callByName(reporter, u"ErrorHandlerMessageOrvi", InvokeKind::Method, args);
  // Execution resumes with the next step, which leaves no error pending.
  frame::clearErr();
}

}  // namespace

ObjectRef MainClass::get_GetProStdProperties() {
  return frame::guardMember(*this, [&]() -> ObjectRef {
    return frame::appObject();
  });
}

Text MainClass::get_GetProResStrings(int32_t& lResId) {
  return frame::guardMember(*this, [&]() -> Text {
    return frame::loadResString(Variant(lResId));
  });
}

ObjectRef MainClass::get_GetProResPicture(int32_t& lResId, int32_t& lRestype) {
  return frame::guardMember(*this, [&]() -> ObjectRef {
    // The kind becomes a 16-bit integer first: out of range fails with 6
    // before any lookup.
    const int16_t kind = Variant(lRestype).toInt16();
    return frame::loadResPicture(Variant(lResId), kind);
  });
}

Variant MainClass::get_GetProResData(int32_t& lResId, Variant& vRestype) {
  return frame::guardMember(*this, [&]() -> Variant {
    return frame::loadResData(Variant(lResId), vRestype);
  });
}

int32_t MainClass::About() {
  return frame::guardMember(*this, [&]() -> int32_t {
    ObjectRef held;
    try {
      held = createObject(kAboutClass);
    } catch (const AutomationError& e) {
      report(e);
    }
    ObjectRef second = held;
    try {
      std::array<Variant, 1> args{Variant(frame::appObject())};
      callByName(second, u"AppAboutOrvicm", InvokeKind::Method, args);
    } catch (const AutomationError& e) {
      report(e);
    }
    second = nullptr;
    held = nullptr;
    return 0;
  });
}

ObjectRef MainClass::get_BuddyObjectGlobal() {
  return frame::guardMember(*this, [&]() -> ObjectRef {
    return frame::buddyObjectGlobal();
  });
}

void MainClass::set_BuddyObjectGlobal(ObjectRef& oNewValue) {
  return frame::guardMember(*this, [&]() -> void {
    frame::buddyObjectGlobal() = oNewValue;
  });
}

}  // namespace zidevuv10::main_class
