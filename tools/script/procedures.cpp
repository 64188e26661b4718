// The script's own Subs and Functions: arguments bound ByRef (plain
// variables) or ByVal, a frame of locals per call, the Function's value,
// error handling per procedure, and a bound on how deep calls may go.
#include <cstdint>

#include "interpreter.h"
#include "operators.h"

namespace zidevuv10::script {

namespace {

// How much of the stack the script's calls may take. A call costs the host
// a few kilobytes at most; what a single procedure may use besides (nested
// blocks and expressions) is bounded by the parser. Well within the 8 MB a
// process's main thread has, even with sanitizers.
constexpr std::uintptr_t kStackBudget = 1024 * 1024;

}  // namespace

const Procedure* Interpreter::findProcedure(const std::u16string& lowerName) const {
  const auto it = procedures_.find(lowerName);
  return it == procedures_.end() ? nullptr : it->second;
}

// Error 28 before a call would take the stack past its budget: a runaway
// recursion ends the run with an error, not a crash.
void Interpreter::checkStack() const {
  const char here = 0;
  const auto base = reinterpret_cast<std::uintptr_t>(stackBase_);
  const auto now = reinterpret_cast<std::uintptr_t>(&here);
  if (base > now && base - now > kStackBudget) throw NamedError(err::kOutOfStackSpace, u"Out of stack space", u"");
}

Variant Interpreter::callProcedure(const Procedure& p, const std::vector<ExprPtr>& args) {
  if (args.size() != p.params.size()) throw NamedError(err::kWrongArgumentCount, standardDescription(450), p.name);
  checkStack();
  // Arguments are taken in the caller's frame: a plain variable passed to a
  // ByRef parameter is shared, anything else is a copy.
  Frame frame;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Parameter& param = p.params[i];
    if (!args[i]) throw NamedError(err::kArgumentNotOptional, standardDescription(449), param.name);
    const std::u16string name = lowerName(param.name);
    if (!param.byVal) {
      if (Variable* v = plainVariable(*args[i])) {
        frame.references[name] = v;
        continue;
      }
    }
    Variable local;
    Variant value = evaluate(*args[i]);
    if (value.isObject()) local.value = std::move(value);
    else store(local, std::move(value));
    frame.locals[name] = std::move(local);
  }
  return runBody(p, frame);
}

Variant Interpreter::callProcedure(const Procedure& p, std::span<Variant> args, ScriptObject* self) {
  if (args.size() != p.params.size()) throw NamedError(err::kWrongArgumentCount, standardDescription(450), p.name);
  checkStack();
  Frame frame;
  frame.self = self;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Parameter& param = p.params[i];
    if (args[i].isMissing()) throw NamedError(err::kArgumentNotOptional, standardDescription(449), param.name);
    Variable local;
    const Variant& value = args[i].deref();
    if (value.isObject()) local.value = value;
    else store(local, value);
    frame.locals[lowerName(param.name)] = std::move(local);
  }
  Variant result = runBody(p, frame);
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!p.params[i].byVal && args[i].isByRef()) args[i].assign(frame.locals[lowerName(p.params[i].name)].value);
  }
  return result;
}

Variant Interpreter::runBody(const Procedure& p, Frame& frame) {
  const std::u16string self = lowerName(p.name);
  if (p.isFunction) frame.locals[self] = Variable{};

  Frame* const caller = frame_;
  frame_ = &frame;
  struct Restore {
    Interpreter& in;
    Frame* caller;
    ~Restore() { in.frame_ = caller; }
  } restore{*this, caller};
  try {
    executeBlock(p.body);
  } catch (const ScriptFailure& f) {
    // The caller's own handling decides what happens next.
    frame_ = caller;
    throw CalleeError(f);
  }
  if (!p.isFunction) return Variant();
  Variable& result = frame.locals[self];
  return std::move(result.value);
}

}  // namespace zidevuv10::script
