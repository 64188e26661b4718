// Statements of the script host: declarations, assignments, calls, Print,
// If and For, and the error handling that decides after each statement
// whether a runtime error ends the run or is recorded in Err.
#include <new>

#include "interpreter.h"
#include "operators.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

namespace {

// An element type's value before anything is assigned.
Variant initialValue(ElementType type) {
  switch (type) {
    case ElementType::String: return Variant(Text::empty());
    case ElementType::Integer: return Variant(int16_t{0});
    case ElementType::Long: return Variant(int32_t{0});
    case ElementType::Boolean: return Variant::boolean(false);
    case ElementType::Double: return Variant(0.0);
    case ElementType::Single: return Variant(0.0f);
    case ElementType::Byte: return Variant(uint8_t{0});
    case ElementType::Object: return Variant(ObjectRef());
    case ElementType::Variant: break;
  }
  return Variant();
}

SafeArray::ElementType arrayElementType(ElementType type) {
  if (type == ElementType::String) return SafeArray::ElementType::String;
  if (type == ElementType::Byte) return SafeArray::ElementType::Byte;
  return SafeArray::ElementType::Variant;
}

// Elements that a typed array of Variants has not yet given a value.
void fillTyped(SafeArray& a, ElementType type) {
  if (type == ElementType::Variant || a.elementType() != SafeArray::ElementType::Variant || a.dimensions() == 0) {
    return;
  }
  const Variant initial = initialValue(type);
  const int32_t rows = a.dimensions() == 2 ? a.upperBound(2) - a.lowerBound(2) + 1 : 1;
  for (int32_t i = a.lowerBound(1); i <= a.upperBound(1); ++i) {
    for (int32_t r = 0; r < rows; ++r) {
      Variant& e = a.dimensions() == 2 ? a.at(i, a.lowerBound(2) + r) : a.at(i);
      if (e.isEmpty()) e = initial;
    }
  }
}

bool truth(const Variant& v) { return v.type() != VarType::Null && v.toBool() != 0; }

// Errors that are not the runtime's own, as the runtime would report them.
AutomationError asRuntimeError(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
    return AutomationError(7, Text(standardDescription(7)), Text(std::u16string(kHostSource)));
  }
  return AutomationError(51, Text(u"Internal error: " + Text::fromUtf8(e.what()).str()),
                         Text(std::u16string(kHostSource)));
}

}  // namespace

Interpreter::Interpreter(std::ostream& out, std::shared_ptr<OutputSink> sink)
    : out_(out), sink_(std::move(sink)), err_(makeObject<ScriptErr>()) {}

Interpreter::~Interpreter() = default;

void Interpreter::run(const Program& program) { executeBlock(program.statements); }

void Interpreter::executeBlock(const Block& block) {
  for (const Stmt& s : block) execute(s);
}

void Interpreter::handle(const AutomationError& error, int line) {
  // A conversion or array fault of the host's own evaluation is the host's
  // error, whichever helper raised it.
  const bool own = dynamic_cast<const ObjectError*>(&error) == nullptr;
  const AutomationError e = own ? AutomationError(error.number(), error.description(), Text(std::u16string(kHostSource)))
                                : error;
  err_->set(e);
  if (!resumeNext_) throw ScriptFailure{e, line};
}

void Interpreter::execute(const Stmt& s) {
  if (s.kind == StmtKind::If) return executeIf(s);
  if (s.kind == StmtKind::For) return executeFor(s);
  try {
    executeSimple(s);
  } catch (const AutomationError& e) {
    handle(e, s.line);
  } catch (const std::exception& e) {
    handle(asRuntimeError(e), s.line);
  }
}

void Interpreter::executeIf(const Stmt& s) {
  for (const IfBranch& b : s.branches) {
    bool taken = true;
    try {
      taken = truth(evaluate(*b.condition));
    } catch (const AutomationError& e) {
      // Resuming goes on with the next statement: the first of the block.
      handle(e, b.condition->line);
    }
    if (taken) return executeBlock(b.body);
  }
  executeBlock(s.elseBody);
}

void Interpreter::executeFor(const Stmt& s) {
  // The end and step are evaluated and converted once, before the first pass.
  Variant step;
  double last = 0;
  bool up = true;
  try {
    const Variant start = evaluate(*s.from);
    last = evaluate(*s.to).toDouble();
    step = s.step ? evaluate(*s.step) : Variant(int16_t{1});
    up = step.toDouble() >= 0;
    store(variable(s.variable), start);
  } catch (const AutomationError& e) {
    // A loop whose bounds cannot be had does not run.
    return handle(e, s.line);
  }
  for (;;) {
    try {
      const double at = variable(s.variable).value.toDouble();
      if (up ? at > last : at < last) return;
    } catch (const AutomationError& e) {
      return handle(e, s.line);
    }
    executeBlock(s.body);
    try {
      Variable& counter = variable(s.variable);
      store(counter, binaryOperation("+", counter.value, step));
    } catch (const AutomationError& e) {
      return handle(e, s.line);
    }
  }
}

void Interpreter::executeSimple(const Stmt& s) {
  switch (s.kind) {
    case StmtKind::Dim:
      for (const DimItem& d : s.dims) declare(d);
      break;
    case StmtKind::ReDim:
      for (const DimItem& d : s.dims) redimension(d, s.preserve);
      break;
    case StmtKind::Let: let(s); break;
    case StmtKind::Set: set(s); break;
    case StmtKind::Call: call(s); break;
    case StmtKind::Print: print(s); break;
    case StmtKind::OnErrorResumeNext:
      resumeNext_ = true;
      err_->clear();
      break;
    case StmtKind::OnErrorGoTo0:
      resumeNext_ = false;
      err_->clear();
      break;
    case StmtKind::If:
    case StmtKind::For: execute(s); break;
  }
}

std::vector<ArrayBound> Interpreter::boundsOf(const DimItem& d) {
  std::vector<ArrayBound> bounds;
  for (const BoundExpr& b : d.bounds) {
    ArrayBound bound;
    bound.lower = b.lower ? evaluate(*b.lower).toInt32() : 0;
    bound.upper = evaluate(*b.upper).toInt32();
    if (bound.upper < bound.lower) raiseHostError(err::kSubscriptOutOfRange);
    bounds.push_back(bound);
  }
  return bounds;
}

void Interpreter::declare(const DimItem& d) {
  Variable v;
  v.type = d.type;
  v.isArray = d.isArray;
  if (!d.isArray) {
    v.value = initialValue(d.type);
  } else {
    const std::vector<ArrayBound> bounds = boundsOf(d);
    auto array = bounds.empty() ? std::make_shared<SafeArray>(arrayElementType(d.type))
                                : std::make_shared<SafeArray>(arrayElementType(d.type), bounds);
    fillTyped(*array, d.type);
    v.value = Variant(array);
  }
  variables_[lowerName(d.name)] = std::move(v);
}

void Interpreter::redimension(const DimItem& d, bool preserve) {
  const std::vector<ArrayBound> bounds = boundsOf(d);
  Variable* v = findVariable(d.name);
  if (v == nullptr || v->value.type() != VarType::Array) {
    // ReDim of a name that holds no array makes it a resizable array.
    Variable fresh;
    fresh.type = v != nullptr && v->isArray ? v->type : d.type;
    fresh.isArray = true;
    fresh.value = Variant(std::make_shared<SafeArray>(arrayElementType(fresh.type)));
    v = &(variables_[lowerName(d.name)] = std::move(fresh));
    preserve = false;
  }
  const auto array = v->value.toArray();
  array->redim(bounds, preserve);
  fillTyped(*array, v->type);
}

void Interpreter::let(const Stmt& s) {
  const Expr& target = *s.target;
  if (target.kind == ExprKind::Name) {
    Variant value = evaluate(*s.value);
    // Without Set, an object gives its default member, which none of these objects has.
    if (value.isObject()) raiseHostError(err::kMemberNotSupported);
    return store(variable(target.name), std::move(value));
  }
  if (target.kind == ExprKind::Call && target.target->kind == ExprKind::Name) {
    Variable& v = variable(target.target->name);
    Variant value = evaluate(*s.value);
    if (value.isObject()) raiseHostError(err::kMemberNotSupported);
    Variant& slot = element(v, target.args);
    slot = coerceTo(v.type, value);
    if (v.value.toArray()->elementType() == SafeArray::ElementType::String) slot = Variant(slot.toText());
    return;
  }
  assignProperty(target, InvokeKind::PropertyLet, *s.value);
}

// o.P = e or o.P(args) = e, with or without Set.
void Interpreter::assignProperty(const Expr& target, InvokeKind kind, const Expr& value) {
  static const std::vector<ExprPtr> kNoArguments;
  const bool indexed = target.kind == ExprKind::Call;
  callMember(indexed ? *target.target : target, indexed ? target.args : kNoArguments, kind, &value);
}

void Interpreter::set(const Stmt& s) {
  const Expr& target = *s.target;
  if (target.kind == ExprKind::Member || (target.kind == ExprKind::Call && target.target->kind != ExprKind::Name)) {
    return assignProperty(target, InvokeKind::PropertySet, *s.value);
  }
  Variant value = evaluate(*s.value);
  if (!value.isObject()) raiseHostError(err::kObjectRequired);
  if (target.kind == ExprKind::Name) {
    Variable& v = variable(target.name);
    if (v.isArray || (v.type != ElementType::Variant && v.type != ElementType::Object)) {
      raiseHostError(err::kTypeMismatch);
    }
    v.value = Variant(value.toObject());
    return;
  }
  if (target.kind == ExprKind::Call) {
    Variable& v = variable(target.target->name);
    Variant& slot = element(v, target.args);
    if (v.type != ElementType::Variant && v.type != ElementType::Object) raiseHostError(err::kTypeMismatch);
    if (v.value.toArray()->elementType() != SafeArray::ElementType::Variant) raiseHostError(err::kTypeMismatch);
    slot = Variant(value.toObject());
  }
}

void Interpreter::call(const Stmt& s) {
  const Expr& target = *s.target;
  if (target.kind == ExprKind::Member) {
    callMember(target, s.args, InvokeKind::Method);
    return;
  }
  if (target.kind == ExprKind::Name) {
    callFunction(lowerName(target.name), s.args);
    return;
  }
  raiseHostError(err::kTypeMismatch);
}

void Interpreter::print(const Stmt& s) {
  std::string line;
  for (std::size_t i = 0; i < s.args.size(); ++i) {
    const Variant v = evaluate(*s.args[i]);
    if (i > 0) line += ' ';
    switch (v.type()) {
      case VarType::Null: line += "Null"; break;
      case VarType::Empty: break;
      case VarType::Object: raiseHostError(err::kMemberNotSupported);
      default: line += v.toText().utf8();
    }
  }
  out_ << line << '\n';
}

}  // namespace zidevuv10::script
