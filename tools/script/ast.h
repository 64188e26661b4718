// The parsed form of a script: statements with their line numbers, and
// expressions as trees. Built once by the parser, then only read.
#pragma once

#include <memory>
#include <string>
#include <vector>

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
};

struct Expr {
  ExprKind kind;
  int line = 0;
  int depth = 1;                // levels of the tree from here down
  Variant value;                // Literal
  std::u16string name;          // Name, Member (as written)
  std::string op;               // Unary, Binary (lower case)
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

enum class StmtKind { Dim, ReDim, Let, Set, Call, Print, If, For, OnErrorResumeNext, OnErrorGoTo0 };

struct IfBranch {
  ExprPtr condition;
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
  std::u16string variable;          // For
  ExprPtr from, to, step;           // For (step may be null)
  Block body;                       // For
};

struct Program {
  Block statements;
};

}  // namespace zidevuv10::script
