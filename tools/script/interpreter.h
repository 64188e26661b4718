// Runs a parsed script: variables and arrays, statements, expressions and
// late-bound calls on the library's objects, with the runtime's error
// handling (On Error Resume Next / GoTo 0 and the Err object).
#pragma once

#include <memory>
#include <ostream>
#include <unordered_map>
#include <vector>

#include "ast.h"
#include "host_objects.h"
#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10::script {

// An error an object raised: it reaches the script with the object's own
// source. Any other error arose in the host's own evaluation.
class ObjectError : public AutomationError {
 public:
  explicit ObjectError(const AutomationError& e) : AutomationError(e) {}
};

// An error no handler caught: it ends the run.
struct ScriptFailure {
  AutomationError error;
  int line;
};

class Interpreter {
 public:
  Interpreter(std::ostream& out, std::shared_ptr<OutputSink> sink);
  ~Interpreter();

  // Runs the program; ScriptFailure when an error is not handled.
  void run(const Program& program);

 private:
  struct Variable {
    Variant value;
    ElementType type = ElementType::Variant;
    bool isArray = false;  // declared with parentheses
  };

  // Statements (statements.cpp).
  void executeBlock(const Block& block);
  void execute(const Stmt& s);
  void executeSimple(const Stmt& s);
  void executeIf(const Stmt& s);
  void executeFor(const Stmt& s);
  std::vector<ArrayBound> boundsOf(const DimItem& d);
  void declare(const DimItem& d);
  void redimension(const DimItem& d, bool preserve);
  void let(const Stmt& s);
  void set(const Stmt& s);
  void call(const Stmt& s);
  void print(const Stmt& s);
  void handle(const AutomationError& error, int line);

  // Expressions (expressions.cpp).
  Variant evaluate(const Expr& e);
  Variant evaluateName(const Expr& e);
  Variant evaluateCall(const Expr& e);
  Variant callFunction(const std::u16string& lowerName, const std::vector<ExprPtr>& args);
  Variant createObject(const Variant& progId);
  // Arguments of a member call: plain variables by reference, the rest by value.
  std::vector<Variant> memberArguments(const std::vector<ExprPtr>& args, std::vector<Variable*>& byRef);
  // Calls member.name on the object member.target names; `assigned` is the
  // new value of a let or set (a plain variable by reference).
  Variant callMember(const Expr& member, const std::vector<ExprPtr>& args, InvokeKind kind,
                     const Expr* assigned = nullptr);
  void assignProperty(const Expr& target, InvokeKind kind, const Expr& value);
  Variant invokeMember(const Variant& target, const std::u16string& name, InvokeKind kind,
                       std::vector<Variant>& args, const std::vector<Variable*>& byRef);
  Variable* plainVariable(const Expr& e);
  Variable* findVariable(const std::u16string& name);
  Variable& variable(const std::u16string& name);
  Variant& element(Variable& v, const std::vector<ExprPtr>& indexes);
  void store(Variable& v, Variant value);
  void retype(const std::vector<Variable*>& byRef);

  std::ostream& out_;
  std::shared_ptr<OutputSink> sink_;
  std::unordered_map<std::u16string, Variable> variables_;  // by lower-case name
  Ref<ScriptErr> err_;
  bool resumeNext_ = false;
};

// A value converted to a declared type (13, 6 as the runtime raises them).
Variant coerceTo(ElementType type, const Variant& value);
// The lower-case form of a name.
std::u16string lowerName(std::u16string_view name);

}  // namespace zidevuv10::script
