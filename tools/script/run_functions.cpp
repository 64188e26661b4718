// The runtime functions that need the run itself: Eval and Execute parse
// text and run it where they are called (ExecuteGlobal at the script's
// level), GetRef makes a procedure an object, and Rnd draws from the run's
// generator, seeded as the runtime seeds it, so that Rnd(-n) and
// Randomize n repeat their sequences.
#include <cstring>
#include <ctime>

#include "interpreter.h"
#include "operators.h"
#include "parser.h"

namespace zidevuv10::script {

namespace {

constexpr int32_t kSyntaxErrorNumber = 1002;
constexpr int32_t kNameRedefined = 1041;

std::string utf8Of(const Variant& v) { return v.toText().utf8(); }

// A text that does not parse: a run-time error naming the fault and its
// line in the text.
[[noreturn]] void raiseSyntax(const SyntaxError& e) {
  throw AutomationError(kSyntaxErrorNumber,
                        Text(u"Syntax error: " + Text::fromUtf8(e.what()).str() + u", line " +
                             Text::fromUtf8(std::to_string(e.line())).str()),
                        Text(std::u16string(kHostSource)));
}

void expectCount(const std::vector<Variant>& args, std::size_t least, std::size_t most) {
  if (args.size() < least || args.size() > most) raiseHostError(err::kWrongArgumentCount);
  for (std::size_t i = 0; i < least; ++i) {
    if (args[i].isMissing()) raiseHostError(err::kArgumentNotOptional);
  }
}

}  // namespace

bool Interpreter::isRunFunction(const std::u16string& lower) {
  return lower == u"eval" || lower == u"execute" || lower == u"executeglobal" || lower == u"getref" ||
         lower == u"randomize" || lower == u"rnd";
}

Variant Interpreter::runFunction(const std::u16string& lower, const std::vector<Variant>& args) {
  if (lower == u"eval") {
    expectCount(args, 1, 1);
    return evaluateText(args[0]);
  }
  if (lower == u"execute" || lower == u"executeglobal") {
    expectCount(args, 1, 1);
    executeText(args[0], lower == u"executeglobal");
    return Variant();
  }
  if (lower == u"getref") {
    expectCount(args, 1, 1);
    const Text name = args[0].toText();
    const Procedure* p = findProcedure(lowerName(name.str()));
    if (p == nullptr) throw NamedError(err::kSubOrFunctionNotDefined, u"Sub or Function not defined", name.str());
    return Variant(ObjectRef(makeObject<ProcedureRef>(*p, classLink_)));
  }
  if (lower == u"randomize") {
    randomize(args);
    return Variant();
  }
  return random(args);
}

Variant Interpreter::invokeProcedure(const Procedure& p, std::span<Variant> args) {
  return callProcedure(p, args, nullptr);
}

Variant Interpreter::evaluateText(const Variant& code) {
  ExprPtr e;
  try {
    e = parseExpression(utf8Of(code));
  } catch (const SyntaxError& error) {
    raiseSyntax(error);
  }
  return evaluate(*e);
}

// Statements, procedures and classes of the text; the procedures and
// classes join the script's, the statements run in the calling procedure
// (Execute) or at the script's level (ExecuteGlobal).
void Interpreter::executeText(const Variant& code, bool global) {
  auto program = std::make_unique<Program>();
  try {
    ParseOptions options;
    options.appendsInPlace = false;
    *program = parseScript(utf8Of(code), options);
  } catch (const SyntaxError& error) {
    raiseSyntax(error);
  }
  for (const Procedure& p : program->procedures) {
    if (procedures_.contains(lowerName(p.name)) || classes_.contains(lowerName(p.name))) {
      throw NamedError(kNameRedefined, u"Name redefined", p.name);
    }
  }
  for (const ClassDef& c : program->classes) {
    if (procedures_.contains(lowerName(c.name)) || classes_.contains(lowerName(c.name))) {
      throw NamedError(kNameRedefined, u"Name redefined", c.name);
    }
  }
  for (const Procedure& p : program->procedures) procedures_.emplace(lowerName(p.name), &p);
  for (const ClassDef& c : program->classes) classes_.emplace(lowerName(c.name), std::make_shared<const ScriptClass>(c));
  const Program& kept = *executed_.emplace_back(std::move(program));
  Frame* const caller = frame_;
  if (global) frame_ = &global_;
  struct Restore {
    Interpreter& in;
    Frame* caller;
    ~Restore() { in.frame_ = caller; }
  } restore{*this, caller};
  executeBlock(kept.statements);
}

// Rnd([n]): the next number of the run's sequence in [0, 1); n < 0 starts
// the sequence n names, 0 repeats the last number.
Variant Interpreter::random(const std::vector<Variant>& args) {
  expectCount(args, 0, 1);
  const float n = args.empty() || args[0].isMissing() ? 1.0f : args[0].toSingle();
  if (n < 0) {
    uint32_t bits = 0;
    std::memcpy(&bits, &n, sizeof bits);
    randomSeed_ = (bits + (bits >> 24)) & 0xFFFFFFu;
  }
  if (n != 0) randomSeed_ = (randomSeed_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
  return Variant(static_cast<float>(randomSeed_) / 16777216.0f);
}

// Randomize [n]: a new seed from n, else from the clock.
void Interpreter::randomize(const std::vector<Variant>& args) {
  expectCount(args, 0, 1);
  double n = 0;
  if (!args.empty() && !args[0].isMissing()) {
    n = args[0].toDouble();
  } else {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    n = static_cast<double>(ts.tv_sec % 86400) + static_cast<double>(ts.tv_nsec) / 1e9;
  }
  uint64_t bits = 0;
  std::memcpy(&bits, &n, sizeof bits);
  const auto high = static_cast<uint32_t>(bits >> 32);
  const uint32_t mixed = ((high & 0xFFFFu) ^ (high >> 16)) << 8;
  randomSeed_ = (randomSeed_ & 0xFF0000FFu) | (mixed & 0x00FFFF00u);
}

}  // namespace zidevuv10::script
