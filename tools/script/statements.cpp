// Statements of the script host: declarations, assignments, calls, Print,
// If, the loops, Select Case and With, and the error handling that decides
// after each statement whether a runtime error ends the run or is recorded
// in Err.
#include <new>

#include "interpreter.h"
#include "operators.h"
#include "zidevuv10/collection.h"
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

// Calls `visit` with every index of the array, the first index varying
// fastest (the order the elements are stored and For Each visits them).
template <typename Visit>
void forEachIndex(const SafeArray& a, Visit visit) {
  const int n = a.dimensions();
  if (n == 0) return;
  for (int d = 1; d <= n; ++d) {
    if (a.upperBound(d) < a.lowerBound(d)) return;
  }
  std::vector<int32_t> at;
  for (int d = 1; d <= n; ++d) at.push_back(a.lowerBound(d));
  for (;;) {
    visit(at);
    int d = 0;
    while (d < n && at[static_cast<std::size_t>(d)] == a.upperBound(d + 1)) {
      at[static_cast<std::size_t>(d)] = a.lowerBound(d + 1);
      ++d;
    }
    if (d == n) return;
    ++at[static_cast<std::size_t>(d)];
  }
}

// Elements that a typed array of Variants has not yet given a value.
void fillTyped(SafeArray& a, ElementType type) {
  if (type == ElementType::Variant || a.elementType() != SafeArray::ElementType::Variant || a.dimensions() == 0) {
    return;
  }
  const Variant initial = initialValue(type);
  forEachIndex(a, [&](const std::vector<int32_t>& at) {
    Variant& e = a.at(at);
    if (e.isEmpty()) e = initial;
  });
}

bool truth(const Variant& v) { return v.type() != VarType::Null && v.toBool() != 0; }

// Errors that are not the runtime's own, as the runtime would report them.
AutomationError asRuntimeError(const std::exception& e) {
  if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr) {
    return AutomationError(err::kOutOfMemory, Text(standardDescription(err::kOutOfMemory)), Text(std::u16string(kHostSource)));
  }
  return AutomationError(err::kInternalError, Text(u"Internal error: " + Text::fromUtf8(e.what()).str()),
                         Text(std::u16string(kHostSource)));
}

}  // namespace

Interpreter::Interpreter(std::ostream& out, std::shared_ptr<OutputSink> sink, std::shared_ptr<RunState> run)
    : out_(out),
      sink_(std::move(sink)),
      run_(std::move(run)),
      err_(makeObject<ScriptErr>()),
      wscript_(makeObject<ScriptWScript>(sink_, run_)),
      classLink_(std::make_shared<ClassHostLink>()) {
  classLink_->host = this;
}

// Objects of the script's classes that outlive the run (held by the
// library) run nothing once it is over.
Interpreter::~Interpreter() { classLink_->host = nullptr; }

void Interpreter::run(const Program& program) {
  const char base = 0;
  stackBase_ = &base;
  optionExplicit_ = program.optionExplicit;
  for (const Procedure& p : program.procedures) procedures_.emplace(lowerName(p.name), &p);
  for (const ClassDef& c : program.classes) classes_.emplace(lowerName(c.name), std::make_shared<const ScriptClass>(c));
  // The script's variables go, and their objects' Class_Terminate runs,
  // when the script ends however it ends.
  struct Release {
    Interpreter& in;
    ~Release() { in.releaseVariables(); }
  } release{*this};
  executeBlock(program.statements);
  const int lastLine = program.statements.empty() ? 1 : program.statements.back().line;
  releaseVariables();
  raisePending(lastLine);
}

Interpreter::Flow Interpreter::executeBlock(const Block& block) {
  for (const Stmt& s : block) {
    const Flow flow = execute(s);
    raisePending(s.line);
    if (flow != Flow::Normal) return flow;
  }
  return Flow::Normal;
}

void Interpreter::raisePending(int line) {
  if (pendingQuit_) {
    const QuitRequest q = *pendingQuit_;
    pendingQuit_.reset();
    throw q;
  }
  if (pendingError_) {
    const std::unique_ptr<AutomationError> e = std::move(pendingError_);
    handle(*e, line);
  }
}

void Interpreter::handle(const AutomationError& error, int line) {
  // An error a procedure passed up keeps its own line and source.
  if (const auto* callee = dynamic_cast<const CalleeError*>(&error)) {
    err_->set(callee->failure.error);
    if (!frame_->resumeNext) throw callee->failure;
    return;
  }
  // A conversion or array fault of the host's own evaluation is the host's
  // error, whichever helper raised it.
  const auto* object = dynamic_cast<const ObjectError*>(&error);
  const auto* named = dynamic_cast<const NamedError*>(&error);
  const AutomationError e = object == nullptr
                                ? AutomationError(error.number(), error.description(), Text(std::u16string(kHostSource)))
                                : error;
  err_->set(e);
  if (!frame_->resumeNext) {
    throw ScriptFailure{e, line, object != nullptr ? object->subject : named != nullptr ? named->subject : u""};
  }
}

Interpreter::Flow Interpreter::execute(const Stmt& s) {
  switch (s.kind) {
    case StmtKind::If: return executeIf(s);
    case StmtKind::For: return executeFor(s);
    case StmtKind::ForEach: return executeForEach(s);
    case StmtKind::Do: return executeDo(s);
    case StmtKind::Select: return executeSelect(s);
    case StmtKind::With: return executeWith(s);
    case StmtKind::Exit:
      return s.exits == ExitKind::For ? Flow::ExitFor : s.exits == ExitKind::Do ? Flow::ExitDo : Flow::ExitProcedure;
    default: break;
  }
  try {
    executeSimple(s);
  } catch (const AutomationError& e) {
    handle(e, s.line);
  } catch (const std::exception& e) {
    handle(asRuntimeError(e), s.line);
  }
  return Flow::Normal;
}

// A condition's truth; with Resume Next an error in it counts as True, so
// the statements it guards run, as the runtime goes on with the next one.
bool Interpreter::condition(const Expr& e) {
  try {
    return truth(valueOf(evaluate(e)));
  } catch (const AutomationError& error) {
    handle(error, e.line);
  }
  return true;
}

Interpreter::Flow Interpreter::executeIf(const Stmt& s) {
  for (const IfBranch& b : s.branches) {
    if (condition(*b.condition)) return executeBlock(b.body);
  }
  return executeBlock(s.elseBody);
}

Interpreter::Flow Interpreter::executeFor(const Stmt& s) {
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
    handle(e, s.line);
    return Flow::Normal;
  }
  for (;;) {
    try {
      const double at = variable(s.variable).value.toDouble();
      if (up ? at > last : at < last) return Flow::Normal;
    } catch (const AutomationError& e) {
      handle(e, s.line);
      return Flow::Normal;
    }
    const Flow flow = executeBlock(s.body);
    if (flow == Flow::ExitFor) return Flow::Normal;
    if (flow != Flow::Normal) return flow;
    try {
      Variable& counter = variable(s.variable);
      store(counter, binaryOperation(Operator::Add, counter.value, step));
    } catch (const AutomationError& e) {
      handle(e, s.line);
      return Flow::Normal;
    }
  }
}

Interpreter::Flow Interpreter::executeForEach(const Stmt& s) {
  // The items are taken when the loop starts; changes to the array or
  // collection in the loop do not change what it visits.
  std::vector<Variant> items;
  try {
    const Variant group = evaluate(*s.from);
    if (group.type() == VarType::Array) {
      const SafeArray& a = *group.toArray();
      forEachIndex(a, [&](const std::vector<int32_t>& at) { items.push_back(a.at(at)); });
    } else if (!group.isObject()) {
      raiseHostError(err::kObjectRequired);
    } else if (const auto* c = dynamic_cast<const Collection*>(group.toObject().get())) {
      items.assign(c->begin(), c->end());
    } else if (const auto* e = dynamic_cast<const Enumerable*>(group.toObject().get())) {
      items = e->enumerate();
    } else {
      throw NamedError(err::kNotACollection, u"Object not a collection", group.toObject() ? group.toObject()->typeName() : u"Nothing");
    }
  } catch (const AutomationError& e) {
    handle(e, s.line);
    return Flow::Normal;
  }
  for (const Variant& item : items) {
    try {
      Variable& v = variable(s.variable);
      if (item.isObject()) {
        if (v.isArray || (v.type != ElementType::Variant && v.type != ElementType::Object)) {
          raiseHostError(err::kTypeMismatch);
        }
        v.value = item;
      } else {
        store(v, item);
      }
    } catch (const AutomationError& e) {
      handle(e, s.line);
      return Flow::Normal;
    }
    const Flow flow = executeBlock(s.body);
    if (flow == Flow::ExitFor) return Flow::Normal;
    if (flow != Flow::Normal) return flow;
  }
  return Flow::Normal;
}

Interpreter::Flow Interpreter::executeDo(const Stmt& s) {
  const auto goOn = [&] { return condition(*s.condition) != s.until; };
  for (;;) {
    if (s.condition && !s.testAtEnd && !goOn()) return Flow::Normal;
    const Flow flow = executeBlock(s.body);
    if (flow == Flow::ExitDo && s.exits == ExitKind::Do) return Flow::Normal;
    if (flow != Flow::Normal) return flow;
    if (s.condition && s.testAtEnd && !goOn()) return Flow::Normal;
  }
}

bool Interpreter::caseMatches(const Variant& subject, const CaseBranch& c) {
  if (c.tests.empty()) return true;
  for (const CaseTest& t : c.tests) {
    const Variant value = valueOf(evaluate(*t.value));
    const bool constant = isConstant(*t.value);
    if (t.upper) {
      const Variant upper = valueOf(evaluate(*t.upper));
      if (truth(comparisonOperation(Operator::GreaterOrEqual, subject, value, constant)) &&
          truth(comparisonOperation(Operator::LessOrEqual, subject, upper, isConstant(*t.upper)))) {
        return true;
      }
    } else if (truth(comparisonOperation(t.op, subject, value, constant))) {
      return true;
    }
  }
  return false;
}

Interpreter::Flow Interpreter::executeSelect(const Stmt& s) {
  const CaseBranch* chosen = nullptr;
  try {
    const Variant subject = valueOf(evaluate(*s.from));
    for (const CaseBranch& c : s.cases) {
      if (caseMatches(subject, c)) {
        chosen = &c;
        break;
      }
    }
  } catch (const AutomationError& e) {
    handle(e, s.line);
    return Flow::Normal;
  }
  return chosen != nullptr ? executeBlock(chosen->body) : Flow::Normal;
}

Interpreter::Flow Interpreter::executeWith(const Stmt& s) {
  Variant object;
  try {
    object = evaluate(*s.from);
    if (!object.isObject()) raiseHostError(err::kObjectRequired);
  } catch (const AutomationError& e) {
    handle(e, s.line);
    return Flow::Normal;
  }
  std::vector<Variant>& stack = frame_->withObjects;
  stack.push_back(object);
  struct Pop {
    std::vector<Variant>& stack;
    ~Pop() { stack.pop_back(); }
  } pop{stack};
  return executeBlock(s.body);
}

void Interpreter::executeSimple(const Stmt& s) {
  switch (s.kind) {
    case StmtKind::Dim:
      for (const DimItem& d : s.dims) declare(d);
      break;
    case StmtKind::ReDim:
      for (const DimItem& d : s.dims) redimension(d, s.preserve);
      break;
    case StmtKind::Const:
      for (std::size_t i = 0; i < s.dims.size(); ++i) declareConstant(s.dims[i].name, *s.args[i]);
      break;
    case StmtKind::Let: let(s); break;
    case StmtKind::Set: set(s); break;
    case StmtKind::Call: call(s); break;
    case StmtKind::Print: print(s); break;
    case StmtKind::OnErrorResumeNext:
      frame_->resumeNext = true;
      err_->clear();
      break;
    case StmtKind::OnErrorGoTo0:
      frame_->resumeNext = false;
      err_->clear();
      break;
    default: break;
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

Interpreter::Variable Interpreter::declared(const DimItem& d) {
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
  return v;
}

void Interpreter::declare(const DimItem& d) { frame_->locals[lowerName(d.name)] = declared(d); }

void Interpreter::declareConstant(const std::u16string& name, const Expr& value) {
  Variable v;
  v.value = evaluate(value);
  if (v.value.isObject() || v.value.type() == VarType::Array) raiseHostError(err::kTypeMismatch);
  v.constant = true;
  frame_->locals[lowerName(name)] = std::move(v);
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
    v = &(frame_->locals[lowerName(d.name)] = std::move(fresh));
    preserve = false;
  }
  const auto array = v->value.toArray();
  array->redim(bounds, preserve);
  fillTyped(*array, v->type);
}

void Interpreter::let(const Stmt& s) {
  const Expr& target = *s.target;
  if (s.appendsToTarget && appendInPlace(s)) return;
  if (target.kind == ExprKind::Name) {
    if (findVariable(target.name) == nullptr) {
      if (const ClassMember* m = selfMember(lowerName(target.name))) {
        callSelfMember(*m, {}, InvokeKind::PropertyLet, s.value.get());
        return;
      }
    }
    // Without Set, an object gives its default member (Err its Number).
    Variant value = valueOf(evaluate(*s.value));
    if (value.isObject()) raiseHostError(err::kMemberNotSupported);
    Variable& v = variable(target.name);
    if (v.constant) throw NamedError(err::kIllegalAssignment, u"Illegal assignment", target.name);
    return store(v, std::move(value));
  }
  if (target.kind == ExprKind::Call && target.target->kind == ExprKind::Name) {
    if (findVariable(target.target->name) == nullptr) {
      if (const ClassMember* m = selfMember(lowerName(target.target->name))) {
        callSelfMember(*m, target.args, InvokeKind::PropertyLet, s.value.get());
        return;
      }
    }
    Variable& v = variable(target.target->name);
    // obj(k) = e: the object's default member, Item.
    if (v.value.isObject()) return assignItem(v.value, target.args, InvokeKind::PropertyLet, *s.value);
    Variant value = valueOf(evaluate(*s.value));
    if (value.isObject()) raiseHostError(err::kMemberNotSupported);
    Variant& slot = element(v, target.args);
    slot = coerceTo(v.type, value);
    if (v.value.toArray()->elementType() == SafeArray::ElementType::String) slot = Variant(slot.toText());
    return;
  }
  assignProperty(target, InvokeKind::PropertyLet, *s.value);
}

// `x = x & a & b ...` on a variable holding text: the texts of a, b, ...
// are appended to x's own characters, so building a text piece by piece
// takes time in proportion to its length. False (nothing done) when x holds
// no text; the parser marked the statement only where a, b, ... cannot
// change x.
bool Interpreter::appendInPlace(const Stmt& s) {
  std::vector<const Expr*> parts;
  const Expr* e = s.value.get();
  for (; e->kind == ExprKind::Binary && e->op == Operator::Concatenate; e = e->left.get()) parts.push_back(e->right.get());
  Variable* v = findVariable(s.target->name);
  if (v == nullptr || v->constant || v->isArray || v->value.type() != VarType::String || v->value.isByRef() ||
      (v->type != ElementType::Variant && v->type != ElementType::String)) {
    return false;
  }
  std::vector<Variant> values;
  values.reserve(parts.size());
  for (auto it = parts.rbegin(); it != parts.rend(); ++it) values.push_back(evaluate(**it));
  // Every part is turned into text before any is appended: a part that
  // cannot be leaves the variable as it was.
  std::u16string tail;
  for (const Variant& value : values) appendJoined(tail, value);
  v->value.text().append(tail);
  return true;
}

// o.P = e or o.P(args) = e, with or without Set.
void Interpreter::assignProperty(const Expr& target, InvokeKind kind, const Expr& value) {
  static const std::vector<ExprPtr> kNoArguments;
  const bool indexed = target.kind == ExprKind::Call;
  callMember(indexed ? *target.target : target, indexed ? target.args : kNoArguments, kind, &value);
}

void Interpreter::assignItem(const Variant& object, const std::vector<ExprPtr>& args, InvokeKind kind,
                             const Expr& value) {
  std::vector<Variable*> byRef;
  std::vector<Variant> values = memberArguments(args, byRef);
  values.push_back(evaluate(value));
  if (kind == InvokeKind::PropertySet && !values.back().isObject()) raiseHostError(err::kObjectRequired);
  invokeMember(object, u"Item", kind, values, byRef);
}

void Interpreter::set(const Stmt& s) {
  const Expr& target = *s.target;
  if (target.kind == ExprKind::Member || (target.kind == ExprKind::Call && target.target->kind != ExprKind::Name)) {
    return assignProperty(target, InvokeKind::PropertySet, *s.value);
  }
  if (target.kind == ExprKind::Call) {
    // Set obj(k) = e: the object's default member, Item.
    Variable* holder = findVariable(target.target->name);
    if (holder != nullptr && holder->value.isObject()) {
      return assignItem(holder->value, target.args, InvokeKind::PropertySet, *s.value);
    }
  }
  if (target.kind == ExprKind::Name && findVariable(target.name) == nullptr) {
    if (const ClassMember* m = selfMember(lowerName(target.name))) {
      callSelfMember(*m, {}, InvokeKind::PropertySet, s.value.get());
      return;
    }
  }
  Variant value = evaluate(*s.value);
  if (!value.isObject()) raiseHostError(err::kObjectRequired);
  if (target.kind == ExprKind::Name) {
    Variable& v = variable(target.name);
    if (v.constant) throw NamedError(err::kIllegalAssignment, u"Illegal assignment", target.name);
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
    // A variable holding an object (GetRef's, say): its default member.
    if (const Variable* v = findVariable(target.name); v != nullptr && v->value.isObject()) {
      defaultMember(v->value, s.args);
      return;
    }
    callFunction(target.name, s.args);
    return;
  }
  raiseHostError(err::kTypeMismatch);
}

void Interpreter::print(const Stmt& s) {
  std::string line;
  for (std::size_t i = 0; i < s.args.size(); ++i) {
    const Variant v = valueOf(evaluate(*s.args[i]));
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
