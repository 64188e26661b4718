// Counted objects of the automation layer. Every class of the library, and
// every object a client hands to it (a window object, say), derives from
// Object: a reference count, and one dispatch interface through which any
// member is reached by name or dispatch id.
//
// Apartment rule: an object is used by the thread that created it, one
// call at a time; only the reference count is safe across threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "zidevuv10/error.h"
#include "zidevuv10/export.h"

namespace zidevuv10 {

class Variant;
struct ClassInfo;

// How a member is invoked (values combine as the platform's dispatch flags).
enum class InvokeKind : uint16_t { Method = 1, PropertyGet = 2, PropertyLet = 4, PropertySet = 8 };

class ZIDEVUV10_API Object {
 public:
  Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  void addRef() noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
  void release() noexcept {
    if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
  }

  // The member table of the object's class, or null for objects that do
  // their own dispatch.
  virtual const ClassInfo* classInfo() const { return nullptr; }
  // The class name clients see (TypeName).
  virtual std::u16string typeName() const;

  // Dispatch id of a member, its name compared without case; error 438
  // when the object has no such member.
  virtual int32_t dispatchId(std::u16string_view name) const;
  // Calls a member. Arguments are in the member's order; for a property
  // let or set the new value is the last. A by-reference argument (a
  // Variant made with Variant::byRef) receives the member's change.
  virtual Variant invoke(int32_t dispatchId, InvokeKind kind, std::span<Variant> args);

 protected:
  virtual ~Object() = default;

 private:
  std::atomic<int32_t> refs_{0};
};

// A counted reference to an object (or to no object).
template <typename T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}  // NOLINT: "no object"
  explicit Ref(T* p) : p_(p) {
    if (p_) p_->addRef();
  }
  Ref(const Ref& o) : Ref(o.p_) {}
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <typename U>
  Ref(const Ref<U>& o) : Ref(static_cast<T*>(o.get())) {}  // NOLINT: upcast
  ~Ref() {
    if (p_) p_->release();
  }
  Ref& operator=(Ref o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  bool operator==(const Ref& o) const { return p_ == o.p_; }

 private:
  T* p_ = nullptr;
};

using ObjectRef = Ref<Object>;

template <typename T, typename... Args>
Ref<T> makeObject(Args&&... args) {
  return Ref<T>(new T(std::forward<Args>(args)...));
}

// The object behind a reference as T, or error 13 (type mismatch) when it
// is another kind of object; no object stays no object.
template <typename T>
Ref<T> objectAs(const ObjectRef& o) {
  if (!o) return Ref<T>();
  T* p = dynamic_cast<T*>(o.get());
  if (p == nullptr) raiseError(err::kTypeMismatch);
  return Ref<T>(p);
}

}  // namespace zidevuv10
