// The parsed form of a script: statements with their line numbers, and
// expressions as trees. Built once by the parser, then only read.
// Values; a parsed program may be read by several threads at once.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "operator.h"
#include "text/ascii_case.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::script {

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

enum class ExprKind {
  Literal,  // value
  Name,     // name: a variable, constant-free name, or a function without arguments
  Member,   // target.name
  Call,     // target(args): a function, an array element or a member with arguments
  Unary,    // op target
  Binary,   // left op right
  Paren,    // (target): a value, never a by-reference argument
  With,     // the object of the innermost With block (before `.Name` inside it)
  New,      // New name: an object of a script class or a built-in class
};

struct Expr {
  ExprKind kind;
  int line = 0;
  int depth = 1;                // levels of the tree from here down
  Variant value;                // Literal
  std::u16string name;          // Name, Member, New (as written)
  Operator op = Operator::Add;  // Unary (Add, Subtract or Not), Binary
  ExprPtr target;               // Member, Call, Unary, Paren
  ExprPtr left, right;          // Binary
  std::vector<ExprPtr> args;    // Call; an omitted argument is null
};

enum class ElementType { Variant, String, Integer, Long, Boolean, Double, Single, Byte, Object };

// One dimension of a Dim or ReDim: `upper` or `lower To upper`.
struct BoundExpr {
  ExprPtr lower;  // null: 0
  ExprPtr upper;
};

struct DimItem {
  std::u16string name;
  bool isArray = false;             // declared with parentheses
  std::vector<BoundExpr> bounds;    // empty for `name()`
  ElementType type = ElementType::Variant;
};

struct Stmt;
using Block = std::vector<Stmt>;

enum class StmtKind {
  Dim, ReDim, Let, Set, Call, Print, If, For, ForEach, Do, Select, With, Const, Exit,
  OnErrorResumeNext, OnErrorGoTo0
};

// What an Exit statement leaves.
enum class ExitKind { None, For, Do, Procedure };

struct IfBranch {
  ExprPtr condition;
  Block body;
};

// One `Case` of a Select: values `e`, ranges `a To b`, comparisons `Is < e`.
struct CaseTest {
  Operator op = Operator::Equal;  // the comparison: Equal for a value
  ExprPtr value;
  ExprPtr upper;                  // a range's upper bound; null for the others
};

struct CaseBranch {
  std::vector<CaseTest> tests;  // empty for Case Else
  Block body;
};

struct Stmt {
  StmtKind kind;
  int line = 0;
  std::vector<DimItem> dims;        // Dim, ReDim
  bool preserve = false;            // ReDim Preserve
  ExprPtr target;                   // Let, Set: what is assigned; Call: the member or function
  ExprPtr value;                    // Let, Set
  std::vector<ExprPtr> args;        // Call arguments (null when omitted), Print items
  std::vector<IfBranch> branches;   // If, ElseIf ...
  Block elseBody;
  std::u16string variable;          // For, For Each; Const: the name
  ExprPtr from, to, step;           // For (step may be null); For Each, Select, With: `from`
  Block body;                       // For, For Each, Do, With
  ExprPtr condition;                // Do (null: loops until Exit Do); Const: the value
  bool until = false;               // Do ... Until: runs while the condition is False
  bool testAtEnd = false;           // Do ... Loop While/Until
  std::vector<CaseBranch> cases;    // Select
  ExitKind exits = ExitKind::None;  // Exit: what it leaves; Do: Do (a While loop has None)
  // Let `x = x & e ...`: x is a variable the right side cannot change, so
  // the texts can be appended to it in place.
  bool appendsToTarget = false;
};

struct Parameter {
  std::u16string name;
  bool byVal = false;
};

enum class ProcedureKind { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Procedure {
  std::u16string name;
  ProcedureKind kind = ProcedureKind::Sub;
  bool isFunction = false;  // Function or Property Get: it has a value
  bool isPublic = true;     // a class member others may call
  bool isDefault = false;   // the class's default member
  int line = 0;
  std::vector<Parameter> params;  // a Property Let or Set takes the new value last
  Block body;
};

// A class of the script: its member variables and procedures.
struct ClassField {
  DimItem item;
  bool isPublic = true;
};

struct ClassDef {
  std::u16string name;
  int line = 0;
  std::vector<ClassField> fields;
  std::vector<Procedure> members;
};

// The lower-case form of a name: names match without regard to case.
inline std::u16string lowerName(std::u16string_view name) { return text::asciiLowered(name); }

struct Program {
  Block statements;
  std::vector<Procedure> procedures;
  std::vector<ClassDef> classes;
  bool optionExplicit = false;
};

}  // namespace zidevuv10::script
