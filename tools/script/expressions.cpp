// Expressions of the script host: names, constants, operators, runtime
// functions, array elements and late-bound member calls, with plain
// variables passed by reference so members can change them; MsgBox and
// InputBox, which need the run's output and input.
#include <cmath>
#include <string>

#include "builtins.h"
#include "function_table.h"
#include "interpreter.h"
#include "objects/object_factory.h"
#include "operators.h"
#include "zidevuv10/library.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::script {

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

namespace {

// Whether the member of that name an object reads takes no arguments.
bool takesNoArguments(const Variant& target, const std::u16string& name) {
  if (!target.isObject() || !target.toObject()) return false;
  const ClassInfo* info = target.toObject()->classInfo();
  if (info == nullptr) return false;
  const std::u16string lower = lowerName(name);
  bool found = false;
  for (const MemberInfo& m : info->members) {
    if ((m.kind != InvokeKind::PropertyGet && m.kind != InvokeKind::Method) || lowerName(m.name) != lower) continue;
    if (!m.params.empty()) return false;
    found = true;
  }
  return found;
}

}  // namespace

NamedError::NamedError(int32_t number, std::u16string_view description, std::u16string what)
    : AutomationError(number, Text(std::u16string(description)), Text(std::u16string(kHostSource))),
      subject(std::move(what)) {}

// The variable a name denotes where the script runs: a ByRef parameter or
// local of the running procedure, else one of the script's own.
Interpreter::Variable* Interpreter::findVariable(const std::u16string& name) {
  const std::u16string lower = lowerName(name);
  if (const auto r = frame_->references.find(lower); r != frame_->references.end()) return r->second;
  if (const auto l = frame_->locals.find(lower); l != frame_->locals.end()) return &l->second;
  if (frame_->self != nullptr) {
    if (const auto f = frame_->self->fields.find(lower); f != frame_->self->fields.end()) return &f->second;
  }
  if (frame_ != &global_) {
    if (const auto g = global_.locals.find(lower); g != global_.locals.end()) return &g->second;
  }
  return nullptr;
}

// The variable of that name, made Empty on first use as the runtime does
// without Option Explicit (in the running procedure, if any); with it, a
// name never declared is error 500.
Interpreter::Variable& Interpreter::variable(const std::u16string& name) {
  if (Variable* v = findVariable(name)) return *v;
  if (optionExplicit_) throw NamedError(err::kVariableUndefined, u"Variable is undefined", name);
  return frame_->locals[lowerName(name)];
}

// Names the host answers itself: Err, WScript, Me, the runtime's
// functions, and the procedures of the script and of the running object.
bool Interpreter::isHostName(const std::u16string& lower) const {
  return lower == u"err" || lower == u"wscript" || isRuntimeFunction(lower) || isRunFunction(lower) ||
         procedures_.contains(lower) ||
         (frame_->self != nullptr && (lower == u"me" || selfMember(lower) != nullptr));
}

// A Name that denotes a variable (not Err, a function, a procedure or a constant).
Interpreter::Variable* Interpreter::plainVariable(const Expr& e) {
  if (e.kind != ExprKind::Name) return nullptr;
  if (Variable* v = findVariable(e.name)) return v->constant ? nullptr : v;
  if (isHostName(lowerName(e.name))) return nullptr;
  return &variable(e.name);
}

void Interpreter::store(Variable& v, Variant value) {
  if (v.constant) throw NamedError(err::kIllegalAssignment, u"Illegal assignment", u"");
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
  std::vector<Variant> at;
  for (const ExprPtr& i : indexes) {
    if (!i) raiseHostError(err::kArgumentNotOptional);
    at.push_back(evaluate(*i));
  }
  return elementAt(v, at);
}

Variant& Interpreter::elementAt(Variable& v, std::span<const Variant> indexes) {
  if (v.value.type() != VarType::Array) raiseHostError(err::kTypeMismatch);
  SafeArray& a = *v.value.toArray();
  std::vector<int32_t> at;
  for (const Variant& i : indexes) at.push_back(i.toInt32());
  if (static_cast<int>(at.size()) != a.dimensions()) raiseHostError(err::kSubscriptOutOfRange);
  return a.at(at);
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
  // o.M(i) where M takes no arguments: the default member, Item, of what M
  // answers (m.SubMatches(0), folder.Files("a.txt")).
  if (!args.empty() && takesNoArguments(object, member.name)) {
    std::vector<Variant> none;
    const Variant result = invokeMember(object, member.name, InvokeKind::PropertyGet, none, {});
    return invokeMember(result, u"Item", kind, values, byRef);
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
  } catch (const CalleeError&) {
    // A script object's procedure failed: the error keeps its own line.
    retype(byRef);
    throw;
  } catch (const AutomationError& e) {
    retype(byRef);
    throw ObjectError(e, e.number() == err::kMemberNotSupported ? name : u"");
  } catch (...) {
    retype(byRef);
    throw;
  }
  retype(byRef);
  if (run_->quit) throw QuitRequest{run_->exitStatus};
  return result.isByRef() ? Variant(result.deref()) : result;
}

// MsgBox(prompt[, buttons[, title]]): printed as the library's message
// boxes are; answers OK (1).
Variant Interpreter::messageBox(const std::vector<Variant>& args) {
  if (args.empty() || args.size() > 3) raiseHostError(err::kWrongArgumentCount);
  if (args[0].isMissing()) raiseHostError(err::kArgumentNotOptional);
  const Text prompt = args[0].toText();
  if (args.size() > 1 && !args[1].isMissing()) args[1].toInt32();
  const Text title = args.size() > 2 && !args[2].isMissing() ? args[2].toText() : Text(std::u16string(kHostSource));
  out_ << "[MsgBox] " << title.utf8() << ": " << prompt.utf8() << '\n';
  return Variant(int16_t{1});
}

// InputBox(prompt[, title[, default]]): prints `[InputBox] title: prompt`
// and answers the next line of standard input; an empty line takes the
// default, the end of the input answers "" as Cancel does.
Variant Interpreter::inputBox(const std::vector<Variant>& args) {
  if (args.empty() || args.size() > 3) raiseHostError(err::kWrongArgumentCount);
  if (args[0].isMissing()) raiseHostError(err::kArgumentNotOptional);
  const Text prompt = args[0].toText();
  const Text title = args.size() > 1 && !args[1].isMissing() ? args[1].toText() : Text(std::u16string(kHostSource));
  const Text fallback = args.size() > 2 && !args[2].isMissing() ? args[2].toText() : Text::empty();
  out_ << "[InputBox] " << title.utf8() << ": " << prompt.utf8() << '\n';
  std::string line;
  if (run_->input == nullptr || !std::getline(*run_->input, line)) return Variant(Text::empty());
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line.empty() ? Variant(fallback) : Variant(Text::fromUtf8(line));
}

Variant Interpreter::createObject(const Variant& progId) {
  const Text name = progId.toText();
  try {
    return Variant(createScriptObject(name.str(), sink_, run_));
  } catch (const AutomationError& e) {
    throw ObjectError(e);
  }
}

// A procedure of the script, or a function of the runtime or the host.
Variant Interpreter::callFunction(const std::u16string& name, const std::vector<ExprPtr>& args) {
  const std::u16string lower = lowerName(name);
  if (const ClassMember* m = selfMember(lower)) return callSelfMember(*m, args, InvokeKind::Method);
  if (const Procedure* p = findProcedure(lower)) return callProcedure(*p, args);
  std::vector<Variant> values;
  for (const ExprPtr& a : args) values.push_back(a ? evaluate(*a) : Variant::missing());
  if (lower == u"createobject") {
    if (values.size() != 1) raiseHostError(err::kWrongArgumentCount);
    return createObject(values[0]);
  }
  if (lower == u"getobject") {
    if (values.empty() || values.size() > 2) raiseHostError(err::kWrongArgumentCount);
    try {
      getScriptObject(values[0], values.size() > 1 ? values[1] : Variant::missing());
    } catch (const AutomationError& e) {
      throw ObjectError(e);
    }
  }
  if (lower == u"msgbox") return messageBox(values);
  if (lower == u"inputbox") return inputBox(values);
  if (isRunFunction(lower)) return runFunction(lower, values);
  const BuiltinFunction f = findBuiltin(lower);
  if (f == nullptr) throw NamedError(err::kSubOrFunctionNotDefined, u"Sub or Function not defined", name);
  return f(values);
}

Variant Interpreter::evaluateName(const Expr& e) {
  if (Variable* v = findVariable(e.name)) return v->value;
  const std::u16string lower = lowerName(e.name);
  if (lower == u"err") return Variant(err_);
  if (lower == u"wscript") return Variant(wscript_);
  if (lower == u"me" && frame_->self != nullptr) return Variant(ObjectRef(frame_->self));
  if (const ClassMember* m = selfMember(lower)) return callSelfMember(*m, {}, InvokeKind::PropertyGet);
  if (isHostName(lower)) return callFunction(e.name, {});
  if (optionExplicit_) throw NamedError(err::kVariableUndefined, u"Variable is undefined", e.name);
  return Variant();
}

Variant Interpreter::withObject() const {
  if (frame_->withObjects.empty()) raiseHostError(err::kObjectRequired);
  return frame_->withObjects.back();
}

Variant Interpreter::defaultMember(const Variant& object, const std::vector<ExprPtr>& args) {
  std::vector<Variable*> byRef;
  std::vector<Variant> values = memberArguments(args, byRef);
  // A script class names its own default member; other objects answer Item.
  std::u16string name = u"Item";
  if (const auto* o = dynamic_cast<const ScriptObject*>(object.isObject() ? object.toObject().get() : nullptr)) {
    if (const ClassMember* m = o->scriptClass().defaultMember()) name = m->name;
  }
  return invokeMember(object, name, InvokeKind::PropertyGet, values, byRef);
}

Variant Interpreter::evaluateCall(const Expr& e) {
  const Expr& target = *e.target;
  if (target.kind == ExprKind::Member) return callMember(target, e.args, InvokeKind::PropertyGet);
  if (target.kind == ExprKind::Name) {
    Variable* v = findVariable(target.name);
    // Inside a Function its own name is the value it returns; with
    // arguments, it is the Function called again.
    if (v != nullptr && (v->value.type() == VarType::Array || v->isArray || !findProcedure(lowerName(target.name)))) {
      if (v->value.isObject()) return defaultMember(v->value, e.args);
      return element(*v, e.args);
    }
    return callFunction(target.name, e.args);
  }
  // An element of an array a call returned: f(x)(i), or an object's item.
  Variable temporary;
  temporary.value = evaluate(target);
  if (temporary.value.isObject()) return defaultMember(temporary.value, e.args);
  return element(temporary, e.args);
}

// A value written in the script: a literal, a signed literal or a Const.
bool Interpreter::isConstant(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Literal: return true;
    case ExprKind::Unary: return e.op != Operator::Not && isConstant(*e.target);
    case ExprKind::Paren: return isConstant(*e.target);
    case ExprKind::Name: {
      const Variable* v = findVariable(e.name);
      return v != nullptr && v->constant;
    }
    default: return false;
  }
}

Variant Interpreter::evaluate(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Literal: return e.value;
    case ExprKind::Name: return evaluateName(e);
    case ExprKind::Paren: return evaluate(*e.target);
    case ExprKind::Unary: return unaryOperation(e.op, valueOf(evaluate(*e.target)));
    case ExprKind::Binary: {
      if (e.op == Operator::Is) {
        const Variant left = evaluate(*e.left);
        return binaryOperation(e.op, left, evaluate(*e.right));
      }
      const Variant left = valueOf(evaluate(*e.left));
      const Variant right = valueOf(evaluate(*e.right));
      if (isComparison(e.op)) {
        return comparisonOperation(e.op, left, right, isConstant(*e.left) || isConstant(*e.right));
      }
      return binaryOperation(e.op, left, right);
    }
    case ExprKind::Member: return callMember(e, {}, InvokeKind::PropertyGet);
    case ExprKind::Call: return evaluateCall(e);
    case ExprKind::With: return withObject();
    case ExprKind::New: return newObject(e);
  }
  return Variant();
}

}  // namespace zidevuv10::script
