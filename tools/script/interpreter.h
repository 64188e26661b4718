// Runs a parsed script: variables and arrays, statements, procedures,
// expressions and late-bound calls on the library's objects, with the
// runtime's error handling (On Error Resume Next / GoTo 0 and the Err object).
// Apartment rule: an interpreter and the objects it makes are used by the
// thread that created it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <ostream>
#include <unordered_map>
#include <vector>

#include "ast.h"
#include "host_objects.h"
#include "script_class.h"
#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

// An error an object raised: it reaches the script with the object's own
// source. Any other error arose in the host's own evaluation. `subject`
// names the member that failed, when that is known.
class ObjectError : public AutomationError {
 public:
  explicit ObjectError(const AutomationError& e, std::u16string what = {})
      : AutomationError(e), subject(std::move(what)) {}
  std::u16string subject;
};

// An error of the host's own that names what it concerns: the function,
// procedure or variable.
class NamedError : public AutomationError {
 public:
  NamedError(int32_t number, std::u16string_view description, std::u16string what);
  std::u16string subject;
};

// An error no handler caught: it ends the run. `subject` names what failed.
struct ScriptFailure {
  AutomationError error;
  int line;
  std::u16string subject;
};

// An error a procedure did not handle, reaching the statement that called
// it; it keeps the line inside the procedure where it arose.
class CalleeError : public AutomationError {
 public:
  explicit CalleeError(const ScriptFailure& f) : AutomationError(f.error), failure(f) {}
  ScriptFailure failure;
};

// WScript.Quit: ends the run with an exit status.
struct QuitRequest {
  int32_t status;
};

class Interpreter final : private ClassHost {
 public:
  Interpreter(std::ostream& out, std::shared_ptr<OutputSink> sink, std::shared_ptr<RunState> run);
  ~Interpreter();

  // Runs the program; ScriptFailure when an error is not handled,
  // QuitRequest when the script quits.
  void run(const Program& program);

 private:
  using Variable = script::Variable;

  // What a block ended with: its last statement, or an Exit leaving it.
  enum class Flow { Normal, ExitFor, ExitDo, ExitProcedure };

  // The variables of the running procedure (or of the script itself).
  struct Frame {
    std::unordered_map<std::u16string, Variable> locals;        // by lower-case name
    std::unordered_map<std::u16string, Variable*> references;   // ByRef parameters
    std::vector<Variant> withObjects;                            // innermost last
    bool resumeNext = false;
    ScriptObject* self = nullptr;  // the object whose procedure runs (Me)
  };

  // Statements (statements.cpp).
  Flow executeBlock(const Block& block);
  Flow execute(const Stmt& s);
  void executeSimple(const Stmt& s);
  Flow executeIf(const Stmt& s);
  Flow executeFor(const Stmt& s);
  Flow executeForEach(const Stmt& s);
  Flow executeDo(const Stmt& s);
  Flow executeSelect(const Stmt& s);
  Flow executeWith(const Stmt& s);
  bool caseMatches(const Variant& subject, const CaseBranch& c);
  bool condition(const Expr& e);
  std::vector<ArrayBound> boundsOf(const DimItem& d);
  Variable declared(const DimItem& d);
  void declare(const DimItem& d);
  void declareConstant(const std::u16string& name, const Expr& value);
  void redimension(const DimItem& d, bool preserve);
  void let(const Stmt& s);
  bool appendInPlace(const Stmt& s);
  void set(const Stmt& s);
  void call(const Stmt& s);
  void print(const Stmt& s);
  void handle(const AutomationError& error, int line);
  // Raises what a Class_Terminate left unhandled, at the statement that
  // released the object.
  void raisePending(int line);

  // Procedures (procedures.cpp).
  const Procedure* findProcedure(const std::u16string& lowerName) const;
  Variant callProcedure(const Procedure& p, const std::vector<ExprPtr>& args);
  // With arguments already evaluated: a by-reference argument receives the
  // parameter's last value (copied in, copied back); `self` is Me.
  Variant callProcedure(const Procedure& p, std::span<Variant> args, ScriptObject* self);
  Variant runBody(const Procedure& p, Frame& frame);
  void checkStack() const;

  // Classes (classes.cpp).
  Variant newObject(const Expr& e);
  Variant invokeScriptMember(ScriptObject& object, const ClassMember& member, InvokeKind kind,
                             std::span<Variant> args) override;
  void terminateObject(ScriptObject& object) noexcept override;
  // The member of the running object's class a name denotes, if any.
  const ClassMember* selfMember(const std::u16string& name) const;
  // Calls a member of the running object by its plain name.
  Variant callSelfMember(const ClassMember& m, const std::vector<ExprPtr>& args, InvokeKind kind,
                         const Expr* assigned = nullptr);
  // The value an object stands for where a value is needed: Err's Number,
  // a script object's Default member; any other value as it is.
  Variant valueOf(Variant v);
  // Frees the script's variables while the run can still run Class_Terminate.
  void releaseVariables();

  // The functions that need the run itself (run_functions.cpp): Eval,
  // Execute, ExecuteGlobal, GetRef, Randomize and Rnd.
  static bool isRunFunction(const std::u16string& lower);
  Variant runFunction(const std::u16string& lower, const std::vector<Variant>& args);
  Variant invokeProcedure(const Procedure& p, std::span<Variant> args) override;
  void executeText(const Variant& code, bool global);
  Variant evaluateText(const Variant& code);
  Variant random(const std::vector<Variant>& args);
  void randomize(const std::vector<Variant>& args);

  // Expressions (expressions.cpp).
  Variant evaluate(const Expr& e);
  bool isConstant(const Expr& e);
  Variant evaluateName(const Expr& e);
  Variant evaluateCall(const Expr& e);
  Variant withObject() const;
  Variant callFunction(const std::u16string& name, const std::vector<ExprPtr>& args);
  Variant createObject(const Variant& progId);
  Variant messageBox(const std::vector<Variant>& args);
  Variant inputBox(const std::vector<Variant>& args);
  // Arguments of a member call: plain variables by reference, the rest by value.
  std::vector<Variant> memberArguments(const std::vector<ExprPtr>& args, std::vector<Variable*>& byRef);
  // Calls member.name on the object member.target names; `assigned` is the
  // new value of a let or set (a plain variable by reference).
  Variant callMember(const Expr& member, const std::vector<ExprPtr>& args, InvokeKind kind,
                     const Expr* assigned = nullptr);
  void assignProperty(const Expr& target, InvokeKind kind, const Expr& value);
  // obj(args) = value: a let or set of the object's Item.
  void assignItem(const Variant& object, const std::vector<ExprPtr>& args, InvokeKind kind, const Expr& value);
  Variant invokeMember(const Variant& target, const std::u16string& name, InvokeKind kind,
                       std::vector<Variant>& args, const std::vector<Variable*>& byRef);
  // obj(i): the object's default member, Item.
  Variant defaultMember(const Variant& object, const std::vector<ExprPtr>& args);
  Variable* plainVariable(const Expr& e);
  Variable* findVariable(const std::u16string& name);
  Variable& variable(const std::u16string& name);
  bool isHostName(const std::u16string& lower) const;
  Variant& element(Variable& v, const std::vector<ExprPtr>& indexes);
  Variant& elementAt(Variable& v, std::span<const Variant> indexes);
  void store(Variable& v, Variant value);
  void retype(const std::vector<Variable*>& byRef);

  std::ostream& out_;
  std::shared_ptr<OutputSink> sink_;
  std::shared_ptr<RunState> run_;
  Frame global_;
  Frame* frame_ = &global_;
  std::unordered_map<std::u16string, const Procedure*> procedures_;  // by lower-case name
  bool optionExplicit_ = false;
  Ref<ScriptErr> err_;
  Ref<ScriptWScript> wscript_;
  const char* stackBase_ = nullptr;  // where the run's stack began
  std::unordered_map<std::u16string, std::shared_ptr<const ScriptClass>> classes_;  // by lower-case name
  std::shared_ptr<ClassHostLink> classLink_;
  std::unique_ptr<AutomationError> pendingError_;  // from a Class_Terminate (a CalleeError keeps its line)
  std::optional<QuitRequest> pendingQuit_;
  std::vector<std::unique_ptr<Program>> executed_;  // code Execute ran: its procedures and classes stay
  uint32_t randomSeed_ = 0x50000;                   // Rnd's generator, as the runtime starts it
};

// A value converted to a declared type (13, 6 as the runtime raises them).
Variant coerceTo(ElementType type, const Variant& value);

}  // namespace zidevuv10::script
