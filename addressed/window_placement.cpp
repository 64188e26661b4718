// Window placement: SaveFormPosition and LoadFormPosition keep a window's
// state, position and size in five entries of the current file and section,
// working through the object's own Key, Value and Default, and reach the
// window only by member names. Neither lets an error out: a failure
// restores Key (and Default) and leaves 0 in LastReturnCode.
#include <array>
#include <cstdint>

#include "automation/member_guard.h"
#include "addressed_object.h"
#include "automation/number_text.h"
#include "zidevuv10/error.h"
#include "zidevuv10/host.h"

namespace zidevuv10::addressed {

namespace {

constexpr int32_t kMinimised = 1;
constexpr int32_t kMaximised = 2;
constexpr double kMarginPixels = 4.0;
constexpr int16_t kDefaultMinimum = 3000;

Variant get(const ObjectRef& window, std::u16string_view name) {
  return callByName(window, name, InvokeKind::PropertyGet);
}

int32_t windowState(const ObjectRef& window) { return get(window, u"WindowState").toInt32(); }

// A floating-point result stored in a 32-bit integer: nearest, halves to even.
int32_t store32(double v) {
  const auto r = automation::roundToInt32(v);
  if (!r) raiseError(err::kOverflow);
  return *r;
}

// A 32-bit sum, failing with 6 when it leaves the range.
int32_t sum32(int32_t a, int32_t b) {
  const int64_t s = static_cast<int64_t>(a) + b;
  if (s < INT32_MIN || s > INT32_MAX) raiseError(err::kOverflow);
  return static_cast<int32_t>(s);
}

// The screen as the host reports it, in single precision, read afresh.
struct Screen {
  float width;
  float height;
  float twipsX;
  float twipsY;
};
Screen screen() {
  const ScreenMetrics m = screenMetrics();
  return {static_cast<float>(m.width()), static_cast<float>(m.height()),
          static_cast<float>(m.twipsPerPixelX), static_cast<float>(m.twipsPerPixelY)};
}

// Fits one dimension (position p, size s) into [margin, extent - margin].
void fit(int32_t& p, int32_t& s, double extent, double margin) {
  if (extent - margin < sum32(p, s)) {
    p = store32(extent - margin - s);
    if (p < margin) p = store32(margin);
    if (extent - margin < sum32(p, s)) s = store32(extent - p - margin);
  }
}

}  // namespace

void AddressedObject::SaveFormPosition(ObjectRef& frmThis) {
  return frame::guardMember(*this, [&]() -> void {
    Text savedKey = get_Key();
    try {
      if (windowState(frmThis) != kMinimised) {
        Text key(u"Maximised");
        let_Key(key);
        Text flag(windowState(frmThis) == kMaximised ? u"1" : u"0");
        let_Value(flag);
        if (windowState(frmThis) != kMaximised) {
          for (const char16_t* name : {u"Left", u"Top", u"Width", u"Height"}) {
            Text k(name);
            let_Key(k);
            Text value = get(frmThis, name).toText();
            let_Value(value);
          }
        }
      }
      let_Key(savedKey);
    } catch (const AutomationError&) {
      let_Key(savedKey);
      lastReturnCode_ = 0;
    }
  });
}

void AddressedObject::LoadFormPosition(ObjectRef& frmThis, Variant& lMinWidth,
                                       Variant& lMinHeight) {
  return frame::guardMember(*this, [&]() -> void {
    Text savedKey = get_Key();
    Text savedDefault = get_Default();
    try {
      const Variant minWidth = lMinWidth.isMissing() ? Variant(kDefaultMinimum) : Variant(lMinWidth.deref());
      const Variant minHeight =
          lMinHeight.isMissing() ? Variant(kDefaultMinimum) : Variant(lMinHeight.deref());
      Text fail(u"FAIL");
      let_Default(fail);
      // A stored number, or the window's own value when the entry is missing
      // or not a number.
      auto stored = [&](const char16_t* name) {
        Text key(name);
        let_Key(key);
        const Text value = get_Value();
        return CLngDefault(value, get(frmThis, name).toInt32());
      };
      int32_t left = stored(u"Left");
      int32_t top = stored(u"Top");
      int32_t width = stored(u"Width");
      if (width < minWidth.toDouble()) width = minWidth.toInt32();
      int32_t height = stored(u"Height");
      if (height < minHeight.toDouble()) height = minHeight.toInt32();

      const double mx = kMarginPixels * screen().twipsX;
      const double my = kMarginPixels * screen().twipsY;
      if (left < mx) left = store32(mx);
      if (top < my) top = store32(my);
      fit(left, width, screen().width, mx);
      fit(top, height, screen().height, my);

      if (width >= minWidth.toDouble() && height >= minHeight.toDouble()) {
        Variant l(left), t(top), w(width), h(height);
        std::array<Variant, 4> args{Variant::byRef(l), Variant::byRef(t), Variant::byRef(w),
                                    Variant::byRef(h)};
        callByName(frmThis, u"Move", InvokeKind::Method, args);
      }
      Text key(u"Maximised");
      let_Key(key);
      if (CLngDefault(get_Value(), 0) != 0) {
        std::array<Variant, 1> state{Variant(static_cast<int16_t>(kMaximised))};
        callByName(frmThis, u"WindowState", InvokeKind::PropertyLet, state);
      }
      let_Key(savedKey);
      let_Default(savedDefault);
    } catch (const AutomationError&) {
      let_Key(savedKey);
      let_Default(savedDefault);
      lastReturnCode_ = 0;
    }
  });
}

}  // namespace zidevuv10::addressed
