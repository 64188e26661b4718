// Member table slots built from a typed interface's member functions: one
// line per slot names the member, its dispatch id, the member function and
// its parameter names; the parameter and result types, their passing, the
// coercions and the listing follow from the function's signature, so the
// table cannot disagree with the code it calls.
//
//   method<&_clsX::GetTF, Boolean>(u"GetTF", 0x60030015, u"EntryName", u"DefaultInt"),
//   propLet<&_clsX::let_UseWinINI>(u"UseWinINI", 0x68030005, hinted<Boolean>(u"bNewValue")),
//
// A parameter is named by a string, or by hinted<Hint>(name) (see
// automation_types.h), or by optional(name[, default]) for an optional one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>

#include "automation_types.h"

namespace zidevuv10::frame {

// A parameter's name and what its type alone does not say.
template <typename Hint = Plain, typename Default = void>
struct ParamDecl {
  std::u16string_view name;
  bool optional = false;
  int32_t defaultValue = 0;
};

template <typename Hint>
constexpr ParamDecl<Hint> hinted(std::u16string_view name) {
  return {name};
}
// Optional: omitted, the member receives the missing marker (a Variant
// parameter) ...
constexpr ParamDecl<Plain, Variant> optional(std::u16string_view name) { return {name, true}; }
// ... or this default, of the default's own type.
template <typename D>
constexpr ParamDecl<Plain, D> optional(std::u16string_view name, D value) {
  static_assert(std::is_same_v<D, int16_t> || std::is_same_v<D, int32_t>,
                "defaults are 16- or 32-bit integers");
  return {name, true, value};
}

namespace slot_detail {

template <typename M>
struct MemberFunction;
template <typename C, typename R, typename... P>
struct MemberFunction<R (C::*)(P...)> {
  using Class = C;
  using Result = R;
  using Params = std::tuple<P...>;
};
template <typename C, typename R, typename... P>
struct MemberFunction<R (C::*)(P...) const> : MemberFunction<R (C::*)(P...)> {};

template <typename S>
struct DeclParts;
template <typename H, typename D>
struct DeclParts<ParamDecl<H, D>> {
  using Hint = H;
  using Default = D;
};

template <typename P, typename S>
ParamInfo paramInfo(const S& decl) {
  using Hint = typename DeclParts<S>::Hint;
  using Default = typename DeclParts<S>::Default;
  using T = std::remove_cvref_t<P>;
  ParamInfo p{decl.name, automationType<T, Hint>(), kByRef<P>, decl.optional};
  if constexpr (!std::is_void_v<Default> && !std::is_same_v<Default, Variant>) {
    static_assert(std::is_same_v<T, Default> || std::is_same_v<T, Variant>,
                  "a default has the parameter's type, or goes into a Variant");
    p.defaultValue = decl.defaultValue;
    p.defaultType = std::is_same_v<Default, int16_t> ? TypeCode::Int16 : TypeCode::Int32;
  } else if constexpr (std::is_same_v<Default, Variant>) {
    static_assert(std::is_same_v<T, Variant>, "only a Variant parameter can be missing");
  }
  return p;
}

template <auto Member, typename ResultHint, typename... Hints, std::size_t... I>
Variant call(Object& self, CallArgs& args, std::index_sequence<I...>) {
  using F = MemberFunction<decltype(Member)>;
  auto& object = static_cast<typename F::Class&>(self);
  if constexpr (std::is_void_v<typename F::Result>) {
    (object.*Member)(Argument<std::tuple_element_t<I, typename F::Params>, Hints>(args, I).get()...);
    return Variant();
  } else {
    return resultVariant<ResultHint>((object.*Member)(
        Argument<std::tuple_element_t<I, typename F::Params>, Hints>(args, I).get()...));
  }
}

template <auto Member, typename ResultHint, typename... Hints>
Variant handler(Object& self, CallArgs& args) {
  return call<Member, ResultHint, Hints...>(self, args, std::index_sequence_for<Hints...>{});
}

template <auto Member, typename ResultHint, typename... Decls>
MemberInfo build(std::u16string_view name, InvokeKind kind, int32_t dispatchId,
                 const Decls&... decls) {
  using F = MemberFunction<decltype(Member)>;
  using Params = typename F::Params;
  static_assert(sizeof...(Decls) == std::tuple_size_v<Params>,
                "one name for each parameter of the member function");
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    TypeRef result;
    if constexpr (!std::is_void_v<typename F::Result>) {
      result = automationType<std::remove_cvref_t<typename F::Result>, ResultHint>();
    } else {
      static_assert(std::is_same_v<ResultHint, Plain>, "a member without result takes no hint");
    }
    return MemberInfo{
        name,
        kind,
        dispatchId,
        {paramInfo<std::tuple_element_t<I, Params>>(decls)...},
        result,
        &handler<Member, ResultHint, typename DeclParts<Decls>::Hint...>};
  }(std::index_sequence_for<Decls...>{});
}

inline ParamDecl<> decl(const char16_t* name) { return {name}; }
template <typename H, typename D>
ParamDecl<H, D> decl(const ParamDecl<H, D>& s) {
  return s;
}

}  // namespace slot_detail

template <auto Member, typename ResultHint = Plain, typename... Names>
MemberInfo method(std::u16string_view name, int32_t dispatchId, const Names&... params) {
  return slot_detail::build<Member, ResultHint>(name, InvokeKind::Method, dispatchId,
                                                 slot_detail::decl(params)...);
}

template <auto Member, typename ResultHint = Plain, typename... Names>
MemberInfo propGet(std::u16string_view name, int32_t dispatchId, const Names&... params) {
  static_assert(!std::is_void_v<typename slot_detail::MemberFunction<decltype(Member)>::Result>,
                "a property get has a result");
  return slot_detail::build<Member, ResultHint>(name, InvokeKind::PropertyGet, dispatchId,
                                                 slot_detail::decl(params)...);
}

// A property let or set: the new value is the last parameter.
template <auto Member, typename... Names>
MemberInfo propLet(std::u16string_view name, int32_t dispatchId, const Names&... params) {
  static_assert(std::is_void_v<typename slot_detail::MemberFunction<decltype(Member)>::Result>,
                "a property let has no result");
  return slot_detail::build<Member, Plain>(name, InvokeKind::PropertyLet, dispatchId,
                                           slot_detail::decl(params)...);
}

template <auto Member, typename... Names>
MemberInfo propSet(std::u16string_view name, int32_t dispatchId, const Names&... params) {
  static_assert(std::is_void_v<typename slot_detail::MemberFunction<decltype(Member)>::Result>,
                "a property set has no result");
  return slot_detail::build<Member, Plain>(name, InvokeKind::PropertySet, dispatchId,
                                           slot_detail::decl(params)...);
}

}  // namespace zidevuv10::frame
