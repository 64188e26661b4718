// Helpers for tests of the automation layer: the error a call raises, late
// calls by member name, a recorder of message boxes, and objects that report their own destruction so a
// test can see when the last reference went away.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "zidevuv10/error.h"
#include "zidevuv10/host.h"
#include "zidevuv10/model.h"
#include "zidevuv10/object.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::testing {

// The error a call raised, or nullopt when it returned normally.
template <typename F>
std::optional<AutomationError> errorFrom(F&& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return e;
  }
  return std::nullopt;
}

// The error number a call raised, or 0 when it returned normally.
template <typename F>
int32_t errorNumber(F&& f) {
  const auto e = errorFrom(std::forward<F>(f));
  return e ? e->number() : 0;
}

// A late-bound call: the member found by name, then invoked with the
// arguments (a let or set takes the new value last).
inline Variant lateCall(const ObjectRef& o, std::u16string_view name, InvokeKind kind,
                        std::vector<Variant> args = {}) {
  return o->invoke(o->dispatchId(name), kind, std::span<Variant>(args));
}

inline Variant lateGet(const ObjectRef& o, std::u16string_view name,
                       std::vector<Variant> args = {}) {
  return lateCall(o, name, InvokeKind::PropertyGet, std::move(args));
}

inline void lateLet(const ObjectRef& o, std::u16string_view name, Variant value) {
  lateCall(o, name, InvokeKind::PropertyLet, {std::move(value)});
}

inline void lateSet(const ObjectRef& o, std::u16string_view name, Variant value) {
  lateCall(o, name, InvokeKind::PropertySet, {std::move(value)});
}

// An object without members that sets a flag when it is destroyed.
class TrackedObject final : public Object {
 public:
  explicit TrackedObject(bool& destroyed) : destroyed_(destroyed) {}
  ~TrackedObject() override { destroyed_ = true; }

 private:
  bool& destroyed_;
};

// A keys container of the test's own, accepted wherever the model wants
// one, that sets a flag when it is destroyed.
class TrackedKeys final : public _clsOrviInifKeysA {
 public:
  explicit TrackedKeys(bool& destroyed) : destroyed_(destroyed) {}
  ~TrackedKeys() override { destroyed_ = true; }
  int32_t Add() override { return 0; }
  void Clear() override {}
  void Remove() override {}
  int32_t get_Count() override { return 0; }
  Ref<_clsOrviInifKeyA> get_Item(Variant&) override { return {}; }

 private:
  bool& destroyed_;
};

// The same for a sections container.
class TrackedSections final : public _clsOrviInifSectionsA {
 public:
  explicit TrackedSections(bool& destroyed) : destroyed_(destroyed) {}
  ~TrackedSections() override { destroyed_ = true; }
  int32_t Add() override { return 0; }
  void Clear() override {}
  void Remove() override {}
  int32_t get_Count() override { return 0; }
  Ref<_clsOrviInifSectionA> get_Item(Variant&) override { return {}; }

 private:
  bool& destroyed_;
};

struct ShownMessage {
  std::string prompt;
  int32_t style = 0;
  std::string title;
};

// Records every message box shown while it lives; nothing reaches stderr.
class MessageRecorder {
 public:
  MessageRecorder() {
    previous_ = setMessageBoxHandler([this](const Text& prompt, int32_t style, const Text& title) {
      shown_.push_back({prompt.utf8(), style, title.utf8()});
      return 1;
    });
  }
  ~MessageRecorder() { setMessageBoxHandler(previous_); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  std::vector<ShownMessage> take() { return std::exchange(shown_, {}); }
  int count() const { return static_cast<int>(shown_.size()); }

 private:
  MessageBoxHandler previous_;
  std::vector<ShownMessage> shown_;
};

}  // namespace zidevuv10::testing
