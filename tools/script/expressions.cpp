// Expressions of the script host: names, constants, operators, runtime
// functions, array elements and late-bound member calls, with plain
// variables passed by reference so members can change them.
#include <cmath>

#include "builtins.h"
#include "interpreter.h"
#include "operators.h"
#include "zidevuv10/library.h"

namespace zidevuv10::script {

std::u16string lowerName(std::u16string_view name) {
  std::u16string out(name);
  for (auto& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return out;
}

Variant coerceTo(ElementType type, const Variant& value) {
  switch (type) {
    case ElementType::String: return Variant(value.toText());
    case ElementType::Integer: return Variant(value.toInt16());
    case ElementType::Long: return Variant(value.toInt32());
    case ElementType::Boolean: return Variant::boolean(value.toBool() != 0);
    case ElementType::Double: return Variant(value.toDouble());
    case ElementType::Single: return Variant(value.toSingle());
    case ElementType::Byte: {
      const int32_t n = value.toInt32();
      if (n < 0 || n > 255) raiseHostError(err::kOverflow);
      return Variant(static_cast<uint8_t>(n));
    }
    case ElementType::Object:
      if (!value.isObject()) raiseHostError(err::kObjectNotSet);
      return Variant(value.toObject());
    case ElementType::Variant: break;
  }
  return Variant(value.deref());
}

Interpreter::Variable* Interpreter::findVariable(const std::u16string& name) {
  const auto it = variables_.find(lowerName(name));
  return it == variables_.end() ? nullptr : &it->second;
}

// The variable of that name, made Empty on first use as the runtime does
// without Option Explicit.
Interpreter::Variable& Interpreter::variable(const std::u16string& name) {
  return variables_[lowerName(name)];
}

// A Name that denotes a variable (not Err, a runtime function or a constant).
Interpreter::Variable* Interpreter::plainVariable(const Expr& e) {
  if (e.kind != ExprKind::Name) return nullptr;
  if (Variable* v = findVariable(e.name)) return v;
  const std::u16string lower = lowerName(e.name);
  if (lower == u"err" || lower == u"createobject" || findBuiltin(lower) != nullptr) return nullptr;
  return &variable(e.name);
}

void Interpreter::store(Variable& v, Variant value) {
  if (value.type() == VarType::Array) {
    // Arrays are copied on assignment; a fixed-size one cannot take another.
    if (v.value.type() == VarType::Array && v.value.toArray()->isFixed()) raiseHostError(err::kArrayFixed);
    if (v.type != ElementType::Variant && !v.isArray) raiseHostError(err::kTypeMismatch);
    v.value = Variant(std::make_shared<SafeArray>(*value.toArray()));
    return;
  }
  if (v.isArray) raiseHostError(err::kTypeMismatch);
  v.value = coerceTo(v.type, value);
}

// Typed variables passed by reference keep their type.
void Interpreter::retype(const std::vector<Variable*>& byRef) {
  for (Variable* v : byRef) {
    if (!v->isArray && v->type != ElementType::Variant) v->value = coerceTo(v->type, v->value);
  }
}

Variant& Interpreter::element(Variable& v, const std::vector<ExprPtr>& indexes) {
  if (v.value.type() != VarType::Array) raiseHostError(err::kTypeMismatch);
  SafeArray& a = *v.value.toArray();
  std::vector<int32_t> at;
  for (const ExprPtr& i : indexes) {
    if (!i) raiseHostError(err::kArgumentNotOptional);
    at.push_back(evaluate(*i).toInt32());
  }
  if (static_cast<int>(at.size()) != a.dimensions()) raiseHostError(err::kSubscriptOutOfRange);
  return at.size() == 1 ? a.at(at[0]) : a.at(at[0], at[1]);
}

std::vector<Variant> Interpreter::memberArguments(const std::vector<ExprPtr>& args,
                                                  std::vector<Variable*>& byRef) {
  std::vector<Variant> out;
  out.reserve(args.size() + 1);
  for (const ExprPtr& a : args) {
    if (!a) {
      out.push_back(Variant::missing());
    } else if (Variable* v = plainVariable(*a)) {
      out.push_back(Variant::byRef(v->value));
      byRef.push_back(v);
    } else {
      out.push_back(evaluate(*a));
    }
  }
  return out;
}

Variant Interpreter::callMember(const Expr& member, const std::vector<ExprPtr>& args, InvokeKind kind,
                                const Expr* assigned) {
  const Variant object = evaluate(*member.target);
  std::vector<Variable*> byRef;
  std::vector<Variant> values = memberArguments(args, byRef);
  if (assigned != nullptr) {
    if (Variable* v = plainVariable(*assigned)) {
      values.push_back(Variant::byRef(v->value));
      byRef.push_back(v);
    } else {
      values.push_back(evaluate(*assigned));
    }
    if (kind == InvokeKind::PropertySet && !values.back().isObject()) raiseHostError(err::kObjectRequired);
  }
  return invokeMember(object, member.name, kind, values, byRef);
}

Variant Interpreter::invokeMember(const Variant& target, const std::u16string& name, InvokeKind kind,
                                  std::vector<Variant>& args, const std::vector<Variable*>& byRef) {
  if (!target.isObject()) raiseHostError(err::kObjectRequired);
  const ObjectRef object = target.toObject();
  if (!object) raiseHostError(err::kObjectNotSet);
  Variant result;
  try {
    result = object->invoke(object->dispatchId(name), kind, args);
  } catch (const AutomationError& e) {
    retype(byRef);
    throw ObjectError(e);
  } catch (...) {
    retype(byRef);
    throw;
  }
  retype(byRef);
  return result.isByRef() ? Variant(result.deref()) : result;
}

Variant Interpreter::createObject(const Variant& progId) {
  const Text name = progId.toText();
  if (lowerName(name.str()) == lowerName(kWindowProgId)) return Variant(makeObject<ScriptWindow>(sink_));
  try {
    return Variant(zidevuv10::createObject(name.str()));
  } catch (const AutomationError& e) {
    throw ObjectError(e);
  }
}

Variant Interpreter::callFunction(const std::u16string& lower, const std::vector<ExprPtr>& args) {
  std::vector<Variant> values;
  for (const ExprPtr& a : args) values.push_back(a ? evaluate(*a) : Variant::missing());
  if (lower == u"createobject") {
    if (values.size() != 1) raiseHostError(err::kWrongArgumentCount);
    return createObject(values[0]);
  }
  const BuiltinFunction f = findBuiltin(lower);
  if (f == nullptr) raiseError(35, kHostSource);
  return f(values);
}

Variant Interpreter::evaluateName(const Expr& e) {
  if (Variable* v = findVariable(e.name)) return v->value;
  const std::u16string lower = lowerName(e.name);
  if (lower == u"err") return Variant(err_);
  if (lower == u"createobject" || findBuiltin(lower) != nullptr) return callFunction(lower, {});
  return Variant();
}

Variant Interpreter::evaluateCall(const Expr& e) {
  const Expr& target = *e.target;
  if (target.kind == ExprKind::Member) return callMember(target, e.args, InvokeKind::PropertyGet);
  if (target.kind == ExprKind::Name) {
    if (Variable* v = findVariable(target.name)) {
      if (v->value.isObject()) raiseHostError(err::kMemberNotSupported);
      return element(*v, e.args);
    }
    return callFunction(lowerName(target.name), e.args);
  }
  // An element of an array a call returned: f(x)(i).
  Variable temporary;
  temporary.value = evaluate(target);
  if (temporary.value.isObject()) raiseHostError(err::kMemberNotSupported);
  return element(temporary, e.args);
}

Variant Interpreter::evaluate(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Literal: return e.value;
    case ExprKind::Name: return evaluateName(e);
    case ExprKind::Paren: return evaluate(*e.target);
    case ExprKind::Unary: return unaryOperation(e.op, evaluate(*e.target));
    case ExprKind::Binary: {
      const Variant left = evaluate(*e.left);
      return binaryOperation(e.op, left, evaluate(*e.right));
    }
    case ExprKind::Member: return callMember(e, {}, InvokeKind::PropertyGet);
    case ExprKind::Call: return evaluateCall(e);
  }
  return Variant();
}

}  // namespace zidevuv10::script
