#include "script_check.h"

#include <algorithm>
#include <set>

#include "function_table.h"
#include "objects/object_factory.h"
#include "objects/windows_only.h"
#include "parser.h"
#include "script_host.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::script {

namespace {

class Checker {
 public:
  explicit Checker(const Program& program) {
    for (const Procedure& p : program.procedures) {
      procedures_.insert(lowerName(p.name));
      for (const Parameter& a : p.params) variables_.insert(lowerName(a.name));
      declare(p.body);
    }
    declare(program.statements);
    for (const Procedure& p : program.procedures) walk(p.body);
    walk(program.statements);
  }

  std::vector<CheckFinding> findings() && {
    std::stable_sort(found_.begin(), found_.end(), [](const CheckFinding& a, const CheckFinding& b) {
      return a.kind != b.kind ? a.kind < b.kind : a.line < b.line;
    });
    return std::move(found_);
  }

 private:
  // Names the script gives values to: declared, assigned, loop variables.
  void declare(const Block& block) {
    for (const Stmt& s : block) {
      for (const DimItem& d : s.dims) variables_.insert(lowerName(d.name));
      if (!s.variable.empty()) variables_.insert(lowerName(s.variable));
      if ((s.kind == StmtKind::Let || s.kind == StmtKind::Set) && s.target) {
        const Expr* t = s.target.get();
        if (t->kind == ExprKind::Call) t = t->target.get();
        if (t->kind == ExprKind::Name) variables_.insert(lowerName(t->name));
      }
      declare(s.body);
      declare(s.elseBody);
      for (const IfBranch& b : s.branches) declare(b.body);
      for (const CaseBranch& c : s.cases) declare(c.body);
    }
  }

  void add(CheckFinding::Kind kind, int line, std::u16string what) { found_.push_back({kind, line, std::move(what)}); }

  static std::u16string quoted(const std::u16string& function, const Text& argument) {
    return function + u"(\"" + argument.str() + u"\")";
  }

  // The text of a literal first argument, if the call has one.
  static const Variant* literalArgument(const std::vector<ExprPtr>& args) {
    if (args.empty() || !args[0] || args[0]->kind != ExprKind::Literal || args[0]->value.type() != VarType::String) {
      return nullptr;
    }
    return &args[0]->value;
  }

  void checkCreate(const std::u16string& function, const std::vector<ExprPtr>& args, int line) {
    const Variant* progId = literalArgument(args);
    if (progId == nullptr) return;
    const std::u16string& id = progId->text().str();
    if (windowsOnlyProgId(id)) return add(CheckFinding::Kind::WindowsOnly, line, quoted(function, progId->text()));
    if (isRuntimeProgId(id)) return;
    for (const ClassInfo* c : libraryClasses()) {
      if (lowerName(c->progId()) == lowerName(id)) return;
    }
    add(CheckFinding::Kind::UnknownObject, line, quoted(function, progId->text()));
  }

  void checkGet(const std::u16string& function, const std::vector<ExprPtr>& args, int line) {
    const Variant* path = literalArgument(args);
    add(CheckFinding::Kind::WindowsOnly, line, path != nullptr ? quoted(function, path->text()) : function);
  }

  // A call of a name: the script's, the runtime's, or unknown.
  void checkFunction(const Expr& name, const std::vector<ExprPtr>& args, int line) {
    const std::u16string lower = lowerName(name.name);
    if (lower == u"createobject") return checkCreate(name.name, args, line);
    if (lower == u"getobject") return checkGet(name.name, args, line);
    if (variables_.contains(lower) || procedures_.contains(lower) || isRuntimeFunction(lower) ||
        lower == u"err" || lower == u"wscript") {
      return;
    }
    add(CheckFinding::Kind::UnknownFunction, line, name.name);
  }

  void checkMember(const Expr& member, const std::vector<ExprPtr>& args, int line) {
    const std::u16string lower = lowerName(member.name);
    const bool onHost = member.target && member.target->kind == ExprKind::Name && lowerName(member.target->name) == u"wscript";
    if (onHost && lower == u"createobject") return checkCreate(u"WScript.CreateObject", args, line);
    if (onHost && lower == u"getobject") return checkGet(u"WScript.GetObject", args, line);
    if (const auto name = windowsOnlyMember(member.name)) add(CheckFinding::Kind::WindowsOnly, line, *name);
  }

  void walk(const Expr* e) {
    if (e == nullptr) return;
    const int line = e->line;
    if (e->kind == ExprKind::Call && e->target) {
      if (e->target->kind == ExprKind::Name) checkFunction(*e->target, e->args, line);
      if (e->target->kind == ExprKind::Member) {
        checkMember(*e->target, e->args, line);
        walk(e->target->target.get());
      } else if (e->target->kind != ExprKind::Name) {
        walk(e->target.get());
      }
    } else if (e->kind == ExprKind::Member) {
      checkMember(*e, {}, line);
      walk(e->target.get());
    } else {
      walk(e->target.get());
    }
    walk(e->left.get());
    walk(e->right.get());
    for (const ExprPtr& a : e->args) walk(a.get());
  }

  void walk(const Block& block) {
    for (const Stmt& s : block) walk(s);
  }

  void walk(const Stmt& s) {
    if (s.kind == StmtKind::Call && s.target) {
      const Expr& t = *s.target;
      if (t.kind == ExprKind::Name) checkFunction(t, s.args, s.line);
      if (t.kind == ExprKind::Member) {
        checkMember(t, s.args, s.line);
        walk(t.target.get());
      } else if (t.kind != ExprKind::Name) {
        walk(&t);
      }
    } else {
      walk(s.target.get());
    }
    for (const ExprPtr& a : s.args) walk(a.get());
    for (const DimItem& d : s.dims) {
      for (const BoundExpr& b : d.bounds) {
        walk(b.lower.get());
        walk(b.upper.get());
      }
    }
    walk(s.value.get());
    walk(s.from.get());
    walk(s.to.get());
    walk(s.step.get());
    walk(s.condition.get());
    for (const IfBranch& b : s.branches) {
      walk(b.condition.get());
      walk(b.body);
    }
    walk(s.elseBody);
    walk(s.body);
    for (const CaseBranch& c : s.cases) {
      for (const CaseTest& t : c.tests) {
        walk(t.value.get());
        walk(t.upper.get());
      }
      walk(c.body);
    }
  }

  std::set<std::u16string> variables_;
  std::set<std::u16string> procedures_;
  std::vector<CheckFinding> found_;
};

std::string_view label(CheckFinding::Kind kind) {
  switch (kind) {
    case CheckFinding::Kind::WindowsOnly: return "Windows-only, not available on Linux";
    case CheckFinding::Kind::UnknownObject: return "unknown object (CreateObject fails unless a registered library has it)";
    case CheckFinding::Kind::UnknownFunction: return "unknown function or sub";
  }
  return "";
}

}  // namespace

std::vector<CheckFinding> checkProgram(const Program& program) { return Checker(program).findings(); }

int checkScript(std::string_view source, std::string_view scriptName, std::ostream& out, std::ostream& errors) {
  Program program;
  try {
    program = parseScript(source);
  } catch (const SyntaxError& e) {
    errors << "Syntax error in " << scriptName << ": " << e.what() << ", line " << e.line() << '\n';
    return kSyntaxError;
  }
  const std::vector<CheckFinding> found = checkProgram(program);
  for (const CheckFinding& f : found) {
    out << scriptName << ':' << f.line << ": " << label(f.kind) << ": " << Text(f.what).utf8() << '\n';
  }
  return found.empty() ? kRunOk : kRunFailed;
}

}  // namespace zidevuv10::script
