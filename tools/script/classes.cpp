// The script's classes at run time: New, calls into an object's members
// (by its users through dispatch, by its own procedures by plain name),
// Class_Initialize and Class_Terminate, default members, and the values
// objects stand for where a value is needed.
#include <new>

#include "builtin_classes.h"
#include "interpreter.h"
#include "operators.h"

namespace zidevuv10::script {

namespace {

constexpr int32_t kClassNotDefined = 506;

}  // namespace

// New Name: an object of the script's class of that name, else of the
// host's built-in class.
Variant Interpreter::newObject(const Expr& e) {
  const std::u16string lower = lowerName(e.name);
  const auto it = classes_.find(lower);
  if (it == classes_.end()) {
    if (const BuiltinClassFactory make = findBuiltinClass(lower)) {
      try {
        return Variant(make());
      } catch (const AutomationError& error) {
        throw ObjectError(error);
      }
    }
    throw NamedError(kClassNotDefined, u"Class not defined", e.name);
  }
  const Ref<ScriptObject> object = makeObject<ScriptObject>(it->second, classLink_);
  for (const ClassField& f : it->second->definition().fields) {
    object->fields[lowerName(f.item.name)] = declared(f.item);
  }
  if (const Procedure* init = it->second->initialize()) callProcedure(*init, std::span<Variant>(), object.get());
  return Variant(ObjectRef(object));
}

const ClassMember* Interpreter::selfMember(const std::u16string& name) const {
  if (frame_->self == nullptr) return nullptr;
  const ClassMember* m = frame_->self->scriptClass().find(name);
  // Member variables are found as variables; these are its procedures.
  return m != nullptr && m->field == nullptr ? m : nullptr;
}

Variant Interpreter::callSelfMember(const ClassMember& m, const std::vector<ExprPtr>& args, InvokeKind kind,
                                    const Expr* assigned) {
  std::vector<Variable*> byRef;
  std::vector<Variant> values = memberArguments(args, byRef);
  if (assigned != nullptr) values.push_back(evaluate(*assigned));
  Variant result = invokeScriptMember(*frame_->self, m, kind, values);
  retype(byRef);
  return result;
}

Variant Interpreter::invokeScriptMember(ScriptObject& object, const ClassMember& m, InvokeKind kind,
                                        std::span<Variant> args) {
  const bool assigns = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
  if (m.field != nullptr) {
    Variable& field = object.fields[lowerName(m.name)];
    if (!assigns) {
      if (args.empty()) return field.value;
      if (field.value.isObject()) {
        std::vector<Variant> values(args.begin(), args.end());
        return invokeMember(field.value, u"Item", InvokeKind::PropertyGet, values, {});
      }
      return elementAt(field, args);
    }
    const Variant value = args.back().deref();
    if (kind == InvokeKind::PropertySet && !value.isObject()) raiseHostError(err::kObjectRequired);
    if (kind == InvokeKind::PropertyLet && value.isObject()) raiseHostError(err::kMemberNotSupported);
    if (args.size() > 1) {
      elementAt(field, args.first(args.size() - 1)) = value;
    } else if (value.isObject()) {
      if (field.isArray) raiseHostError(err::kTypeMismatch);
      field.value = value;
    } else {
      store(field, value);
    }
    return Variant();
  }
  const Procedure* p = nullptr;
  switch (kind) {
    case InvokeKind::Method:
    case InvokeKind::PropertyGet: p = m.method != nullptr ? m.method : m.get; break;
    case InvokeKind::PropertyLet: p = m.let; break;
    case InvokeKind::PropertySet: p = m.set; break;
  }
  if (p == nullptr) throw NamedError(err::kMemberNotSupported, standardDescription(err::kMemberNotSupported), m.name);
  if (kind == InvokeKind::PropertySet && !args.back().isObject()) raiseHostError(err::kObjectRequired);
  return callProcedure(*p, args, &object);
}

void Interpreter::terminateObject(ScriptObject& object) noexcept {
  // The first failure is kept; a later one while it waits would only repeat it.
  const auto keep = [&](std::unique_ptr<AutomationError> e) {
    if (!pendingError_) pendingError_ = std::move(e);
  };
  try {
    callProcedure(*object.scriptClass().terminate(), std::span<Variant>(), &object);
  } catch (const CalleeError& e) {
    keep(std::make_unique<CalleeError>(e));
  } catch (const AutomationError& e) {
    keep(std::make_unique<AutomationError>(e));
  } catch (const QuitRequest& q) {
    pendingQuit_ = q;
  } catch (const std::bad_alloc&) {
    keep(std::make_unique<AutomationError>(err::kOutOfMemory, Text(standardDescription(err::kOutOfMemory)),
                                           Text(std::u16string(kHostSource))));
  } catch (const std::exception& e) {
    keep(std::make_unique<AutomationError>(err::kInternalError, Text(u"Internal error: " + Text::fromUtf8(e.what()).str()),
                                           Text(std::u16string(kHostSource))));
  }
}

Variant Interpreter::valueOf(Variant v) {
  if (!v.isObject()) return v;
  const ObjectRef o = v.toObject();
  if (o.get() == err_.get()) return Variant(err_->number());
  if (const auto* so = dynamic_cast<const ScriptObject*>(o.get())) {
    if (const ClassMember* m = so->scriptClass().defaultMember()) {
      std::vector<Variant> none;
      return valueOf(invokeMember(v, m->name, InvokeKind::PropertyGet, none, {}));
    }
  }
  return v;
}

void Interpreter::releaseVariables() {
  // One variable at a time, so that a Class_Terminate running meanwhile
  // still finds the others (by name: it may add variables of its own).
  std::vector<std::u16string> names;
  for (const auto& entry : global_.locals) names.push_back(entry.first);
  for (const std::u16string& name : names) {
    const auto it = global_.locals.find(name);
    if (it != global_.locals.end()) {
      Variant released = std::move(it->second.value);
      it->second.value = Variant();
    }
  }
  global_.withObjects.clear();
}

}  // namespace zidevuv10::script
