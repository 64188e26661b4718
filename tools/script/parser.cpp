// Recursive-descent parser for the script language.
//
// Statements: Dim, ReDim [Preserve], Const, [Let] x = e, Set x = e,
// Call m(args), m args, Print e, ..., block and one-line If, For ... Next,
// For Each, Do ... Loop, While ... Wend, Select Case, With, Exit, On Error;
// Sub, Function and Class at the top level (Property inside a Class);
// Option Explicit.
// Operator precedence, lowest first: Or Xor; And; Not; comparisons and Is;
// &; + -; * / \ Mod; unary minus; ^; member access, calls and indexing.
#include "parser.h"

#include "zidevuv10/safe_array.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <span>

namespace zidevuv10::script {

namespace {

// Words that cannot name a variable.
constexpr std::array<std::string_view, 56> kReserved = {
    "and",    "as",       "byref",   "byval",  "call",     "case",   "class",  "const",   "dim",
    "do",     "each",     "else",    "elseif", "empty",    "end",    "error",  "exit",    "false",
    "for",    "function", "gosub",   "goto",   "if",       "in",     "is",     "let",     "loop",
    "mod",    "next",     "not",     "nothing", "null",    "on",     "option", "or",      "preserve",
    "print",  "private",  "property", "public", "redim",   "resume", "select", "set",     "step",
    "sub",    "then",     "to",      "true",   "until",    "wend",   "while",  "with",    "xor",
    "optional", "new"};

bool reserved(const std::string& lower) {
  return std::find(kReserved.begin(), kReserved.end(), lower) != kReserved.end();
}

// Statements of the language this host leaves out, refused by name.
constexpr std::array<std::string_view, 3> kUnsupported = {"goto", "gosub", "optional"};

bool unsupported(const std::string& lower) {
  return std::find(kUnsupported.begin(), kUnsupported.end(), lower) != kUnsupported.end();
}

std::string capitalised(std::string word) {
  if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
  return word;
}

std::u16string widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

ExprPtr makeExpr(ExprKind kind, int line) {
  auto e = std::make_unique<Expr>();
  e->kind = kind;
  e->line = line;
  return e;
}

ExprPtr literal(Variant v, int line) {
  auto e = makeExpr(ExprKind::Literal, line);
  e->value = std::move(v);
  return e;
}

// The runtime's numeric constants: message box buttons and answers,
// comparison modes and VarType's answers.
bool numericConstant(const std::string& lower, Variant& out) {
  static const std::map<std::string, int16_t, std::less<>> kConstants = {
      {"vbokonly", 0},      {"vbokcancel", 1},  {"vbabortretryignore", 2}, {"vbyesnocancel", 3},
      {"vbyesno", 4},       {"vbretrycancel", 5}, {"vbcritical", 16},      {"vbquestion", 32},
      {"vbexclamation", 48}, {"vbinformation", 64}, {"vbok", 1},           {"vbcancel", 2},
      {"vbabort", 3},       {"vbretry", 4},     {"vbignore", 5},           {"vbyes", 6},
      {"vbno", 7},          {"vbbinarycompare", 0}, {"vbtextcompare", 1},  {"vbempty", 0},
      {"vbnull", 1},        {"vbinteger", 2},   {"vblong", 3},             {"vbsingle", 4},
      {"vbdouble", 5},      {"vbstring", 8},    {"vbobject", 9},           {"vbboolean", 11},
      {"vbvariant", 12},    {"vbbyte", 17},     {"vbarray", 8192},
      // Dates: VarType, days of the week, the first week of a year, FormatDateTime's formats.
      {"vbdate", 7},        {"vbcurrency", 6},  {"vberror", 10},            {"vbdataobject", 13},
      {"vbdecimal", 14},    {"vbusesystemdayofweek", 0}, {"vbsunday", 1},   {"vbmonday", 2},
      {"vbtuesday", 3},     {"vbwednesday", 4}, {"vbthursday", 5},          {"vbfriday", 6},
      {"vbsaturday", 7},    {"vbusesystem", 0}, {"vbfirstjan1", 1},         {"vbfirstfourdays", 2},
      {"vbfirstfullweek", 3}, {"vbgeneraldate", 0}, {"vblongdate", 1},      {"vbshortdate", 2},
      {"vblongtime", 3},    {"vbshorttime", 4},
      // The tristate of FormatNumber and the like.
      {"vbtrue", -1},       {"vbfalse", 0},     {"vbusedefault", -2}};
  if (lower == "vbobjecterror") {
    out = Variant(int32_t{-2147221504});
    return true;
  }
  const auto it = kConstants.find(lower);
  if (it == kConstants.end()) return false;
  out = Variant(it->second);
  return true;
}

// The value of a named constant, if the name is one.
bool constantValue(const std::string& lower, Variant& out) {
  if (lower == "true") out = Variant::boolean(true);
  else if (lower == "false") out = Variant::boolean(false);
  else if (lower == "nothing") out = Variant(ObjectRef());
  else if (lower == "empty") out = Variant();
  else if (lower == "null") out = Variant::null();
  else if (lower == "vbnullstring") out = Variant(Text());
  else if (lower == "vbnullchar") out = Variant(Text(std::u16string(1, u'\0')));
  else if (lower == "vbcrlf" || lower == "vbnewline") out = Variant(Text(u"\r\n"));
  else if (lower == "vbcr") out = Variant(Text(u"\r"));
  else if (lower == "vblf") out = Variant(Text(u"\n"));
  else if (lower == "vbtab") out = Variant(Text(u"\t"));
  else return numericConstant(lower, out);
  return true;
}

// An integer literal as the runtime types it: Integer, Long, else Double.
Variant integerValue(double v) {
  if (v >= -32768 && v <= 32767) return Variant(static_cast<int16_t>(v));
  if (v >= -2147483648.0 && v <= 2147483647.0) return Variant(static_cast<int32_t>(v));
  return Variant(v);
}

// How deep expressions and blocks may nest: deep enough for any script a
// person writes, shallow enough that parsing, running and freeing the tree
// stay well within the stack.
constexpr int kMaxNesting = 200;
constexpr int kMaxTreeDepth = 1000;

// The binary operators of each precedence level, and the unary ones.
using O = Operator;
constexpr std::array kOrLevel{O::Or, O::Xor};
constexpr std::array kAndLevel{O::And};
constexpr std::array kNot{O::Not};
constexpr std::array kComparisons{O::Equal, O::NotEqual, O::Less, O::Greater, O::LessOrEqual, O::GreaterOrEqual};
constexpr std::array kComparisonLevel{O::Equal,       O::NotEqual,       O::Less, O::Greater,
                                      O::LessOrEqual, O::GreaterOrEqual, O::Is};
constexpr std::array kConcatLevel{O::Concatenate};
constexpr std::array kAddLevel{O::Add, O::Subtract};
constexpr std::array kMultiplyLevel{O::Multiply, O::Divide, O::IntegerDivide, O::Modulo};
constexpr std::array kSigns{O::Subtract, O::Add};
constexpr std::array kPower{O::Power};

class Parser {
 public:
  Parser(std::vector<Token> tokens, const ParseOptions& options) : t_(std::move(tokens)), options_(options) {}

  ExprPtr wholeExpression() {
    ExprPtr e = expression();
    while (peek().kind == TokenKind::EndOfStatement) next();
    if (peek().kind != TokenKind::EndOfScript) fail("end of expression");
    return e;
  }

  Program program() {
    Program p;
    for (;;) {
      while (peek().kind == TokenKind::EndOfStatement) next();
      if (peek().kind == TokenKind::EndOfScript) break;
      if (isWord("option")) {
        const int line = next().line;
        expectWord("explicit");
        expectStatementEnd();
        if (!p.statements.empty() || !p.procedures.empty()) {
          throw SyntaxError(line, "'Option Explicit' must come before any other statement");
        }
        p.optionExplicit = true;
        continue;
      }
      if (procedureStart()) {
        if (isWord("property") || isWord("property", 1) || isWord("property", 2)) {
          throw SyntaxError(peek().line, "'Property' outside a Class");
        }
        p.procedures.push_back(procedure());
        continue;
      }
      if (isWord("class")) {
        p.classes.push_back(classDefinition());
        continue;
      }
      if (isWord("next") || isWord("loop") || isWord("wend") || isWord("case") || isWord("end") ||
          isWord("else") || isWord("elseif")) {
        throw SyntaxError(peek().line, "'" + peek().text + "' without a matching block start");
      }
      p.statements.push_back(statement());
    }
    markAppends(p);
    return p;
  }

 private:
  const Token& peek(std::size_t ahead = 0) const { return t_[std::min(pos_ + ahead, t_.size() - 1)]; }
  const Token& next() {
    const Token& t = t_[pos_];
    if (pos_ + 1 < t_.size()) ++pos_;
    return t;
  }
  bool isWord(std::string_view w, std::size_t ahead = 0) const {
    return peek(ahead).kind == TokenKind::Name && peek(ahead).lower == w;
  }
  bool isSymbol(std::string_view s) const { return peek().kind == TokenKind::Symbol && peek().text == s; }
  // Whether the next token is one of these operators.
  bool isOperator(std::span<const Operator> ops) const {
    const std::optional<Operator> op = peek().op;
    return op && std::find(ops.begin(), ops.end(), *op) != ops.end();
  }
  bool acceptWord(std::string_view w) {
    if (!isWord(w)) return false;
    next();
    return true;
  }
  bool acceptSymbol(std::string_view s) {
    if (!isSymbol(s)) return false;
    next();
    return true;
  }
  [[noreturn]] void fail(const std::string& expected) const {
    const Token& t = peek();
    std::string found = t.kind == TokenKind::EndOfStatement ? "end of line"
                        : t.kind == TokenKind::EndOfScript  ? "end of script"
                        : t.kind == TokenKind::String       ? "a string"
                                                            : "'" + t.text + "'";
    throw SyntaxError(t.line, "expected " + expected + ", found " + found);
  }
  void expectWord(std::string_view w) {
    if (!acceptWord(w)) fail("'" + std::string(w) + "'");
  }
  void expectSymbol(std::string_view s) {
    if (!acceptSymbol(s)) fail("'" + std::string(s) + "'");
  }
  bool atStatementEnd() const {
    return peek().kind == TokenKind::EndOfStatement || peek().kind == TokenKind::EndOfScript;
  }
  void expectStatementEnd() {
    if (!atStatementEnd()) fail("end of statement");
    if (peek().kind == TokenKind::EndOfStatement) next();
  }
  std::u16string variableName() {
    if (peek().kind != TokenKind::Name || reserved(peek().lower)) fail("a name");
    return widen(next().text);
  }

  // Statements up to one that starts with a terminator word (not consumed).
  Block block(std::initializer_list<std::string_view> terminators) {
    Block out;
    for (;;) {
      while (peek().kind == TokenKind::EndOfStatement) next();
      if (peek().kind == TokenKind::EndOfScript) return out;
      for (std::string_view w : terminators) {
        if (isWord(w)) return out;
      }
      out.push_back(statement());
    }
  }

  Stmt statement() {
    const Nesting level(*this);
    const int line = peek().line;
    Stmt s = simpleOrBlockStatement();
    s.line = line;
    return s;
  }

  Stmt simpleOrBlockStatement() {
    if (isWord("if")) return ifStatement();
    if (isWord("for")) return isWord("each", 1) ? forEachStatement() : forStatement();
    if (isWord("do")) return doStatement();
    if (isWord("while")) return whileStatement();
    if (isWord("select")) return selectStatement();
    if (isWord("with")) return withStatement();
    if (procedureStart() || isWord("class")) {
      throw SyntaxError(peek().line, "'" + peek().text + "' inside a block or procedure");
    }
    if (isWord("option")) throw SyntaxError(peek().line, "'Option Explicit' must come before any other statement");
    Stmt s = simpleStatement();
    expectStatementEnd();
    return s;
  }

  Stmt make(StmtKind kind) {
    Stmt s;
    s.kind = kind;
    s.line = peek().line;
    return s;
  }

  // A statement that fits on one line (what a one-line If may hold).
  Stmt simpleStatement() {
    if (peek().kind == TokenKind::Name && unsupported(peek().lower)) {
      throw SyntaxError(peek().line, "'" + peek().text + "' is not supported");
    }
    if ((isWord("private") || isWord("public")) && isWord("const", 1)) next();
    if (acceptWord("const")) return constStatement();
    if (acceptWord("dim") || acceptWord("private") || acceptWord("public")) return dimStatement();
    if (acceptWord("exit")) return exitStatement();
    if (acceptWord("redim")) return redimStatement();
    if (acceptWord("print")) return printStatement();
    if (acceptWord("set")) return assignment(make(StmtKind::Set));
    if (acceptWord("let")) return assignment(make(StmtKind::Let));
    if (acceptWord("call")) return callStatement();
    if (acceptWord("on")) return onError();
    if (isWord("next") || isWord("else") || isWord("elseif") || isWord("end") || isWord("loop") ||
        isWord("wend") || isWord("case")) {
      throw SyntaxError(peek().line, "'" + peek().text + "' without a matching block start");
    }
    if (!withMemberAhead() && (peek().kind != TokenKind::Name || reserved(peek().lower))) fail("a statement");
    return letOrCall();
  }

  ElementType typeName() {
    if (peek().kind != TokenKind::Name) fail("a type name");
    const std::string t = next().lower;
    if (t == "variant") return ElementType::Variant;
    if (t == "string") return ElementType::String;
    if (t == "integer") return ElementType::Integer;
    if (t == "long") return ElementType::Long;
    if (t == "boolean") return ElementType::Boolean;
    if (t == "double") return ElementType::Double;
    if (t == "single") return ElementType::Single;
    if (t == "byte") return ElementType::Byte;
    if (t == "object") return ElementType::Object;
    throw SyntaxError(peek().line, "unknown type '" + t + "'");
  }

  DimItem dimItem(bool redim) {
    DimItem d;
    d.name = variableName();
    if (acceptSymbol("(")) {
      d.isArray = true;
      if (!isSymbol(")")) {
        do {
          BoundExpr b;
          b.upper = expression();
          if (acceptWord("to")) {
            b.lower = std::move(b.upper);
            b.upper = expression();
          }
          d.bounds.push_back(std::move(b));
        } while (acceptSymbol(","));
      }
      expectSymbol(")");
      if (d.bounds.size() > SafeArray::kMaxDimensions) throw SyntaxError(peek().line, "arrays have at most 60 dimensions");
    }
    if (redim && d.bounds.empty()) fail("array bounds");
    if (acceptWord("as")) d.type = typeName();
    return d;
  }

  Stmt dimStatement() {
    Stmt s = make(StmtKind::Dim);
    do s.dims.push_back(dimItem(false));
    while (acceptSymbol(","));
    return s;
  }

  Stmt redimStatement() {
    Stmt s = make(StmtKind::ReDim);
    s.preserve = acceptWord("preserve");
    do s.dims.push_back(dimItem(true));
    while (acceptSymbol(","));
    return s;
  }

  Stmt printStatement() {
    Stmt s = make(StmtKind::Print);
    if (atStatementEnd()) return s;
    do s.args.push_back(expression());
    while (acceptSymbol(","));
    return s;
  }

  // What an assignment may change: a variable, an array element, a member.
  static bool assignable(const Expr& e) {
    return e.kind == ExprKind::Name || e.kind == ExprKind::Member ||
           (e.kind == ExprKind::Call && (e.target->kind == ExprKind::Name || e.target->kind == ExprKind::Member));
  }

  Stmt assignment(Stmt s) {
    if (!withMemberAhead() && (peek().kind != TokenKind::Name || reserved(peek().lower))) fail("a name");
    s.target = postfix(false);
    if (!assignable(*s.target)) throw SyntaxError(s.line, "cannot assign to this expression");
    expectSymbol("=");
    s.value = expression();
    return s;
  }

  // A call's target and arguments from a parsed postfix expression.
  static void splitCall(Stmt& s, ExprPtr e) {
    if (e->kind == ExprKind::Call) {
      s.args = std::move(e->args);
      s.target = std::move(e->target);
    } else {
      s.target = std::move(e);
    }
  }

  Stmt callStatement() {
    Stmt s = make(StmtKind::Call);
    if (!withMemberAhead() && (peek().kind != TokenKind::Name || reserved(peek().lower))) {
      fail("a procedure or member");
    }
    ExprPtr e = postfix(false);
    if (e->kind != ExprKind::Name && e->kind != ExprKind::Member && e->kind != ExprKind::Call) {
      throw SyntaxError(s.line, "Call needs a procedure or member");
    }
    splitCall(s, std::move(e));
    return s;
  }

  Stmt onError() {
    Stmt s = make(StmtKind::OnErrorResumeNext);
    expectWord("error");
    if (acceptWord("resume")) {
      expectWord("next");
      return s;
    }
    expectWord("goto");
    if (peek().kind != TokenKind::Integer || peek().number != 0) fail("0 (line labels are not supported)");
    next();
    s.kind = StmtKind::OnErrorGoTo0;
    return s;
  }

  // `x = e`, `o.P = e`, `a(i) = e`, or a call: `o.M`, `o.M a, b`, `o.M(a, b)`.
  Stmt letOrCall() {
    const int line = peek().line;
    ExprPtr e = postfix(true);
    if (acceptSymbol("=")) {
      Stmt s = make(StmtKind::Let);
      if (!assignable(*e)) throw SyntaxError(line, "cannot assign to this expression");
      s.target = std::move(e);
      s.value = expression();
      return s;
    }
    Stmt s = make(StmtKind::Call);
    if (atStatementEnd()) {
      splitCall(s, std::move(e));
      return s;
    }
    if (e->kind != ExprKind::Name && e->kind != ExprKind::Member) fail("end of statement");
    s.target = std::move(e);
    do {
      if (isSymbol(",")) s.args.push_back(nullptr);
      else s.args.push_back(expression());
    } while (acceptSymbol(","));
    // `a (i) = v` read as a call of `a` with `(i) = v`: an element assignment.
    if (s.target->kind == ExprKind::Name && s.args.size() == 1 && s.args[0] && s.args[0]->kind == ExprKind::Binary &&
        s.args[0]->op == Operator::Equal && s.args[0]->left->kind == ExprKind::Paren) {
      Stmt let = make(StmtKind::Let);
      auto element = makeExpr(ExprKind::Call, line);
      element->args.push_back(std::move(s.args[0]->left->target));
      element->target = std::move(s.target);
      let.target = finish(std::move(element));
      let.value = std::move(s.args[0]->right);
      return let;
    }
    return s;
  }

  Stmt ifStatement() {
    Stmt s = make(StmtKind::If);
    next();
    IfBranch first;
    first.condition = expression();
    expectWord("then");
    if (!atStatementEnd()) {
      // One-line form: If c Then statement [Else statement]
      first.body.push_back(lineStatement());
      s.branches.push_back(std::move(first));
      if (acceptWord("else")) s.elseBody.push_back(lineStatement());
      expectStatementEnd();
      return s;
    }
    first.body = block({"elseif", "else", "end"});
    s.branches.push_back(std::move(first));
    while (acceptWord("elseif")) {
      IfBranch b;
      b.condition = expression();
      expectWord("then");
      b.body = block({"elseif", "else", "end"});
      s.branches.push_back(std::move(b));
    }
    if (acceptWord("else")) s.elseBody = block({"end"});
    if (!isWord("end")) fail("'End If'");
    next();
    expectWord("if");
    expectStatementEnd();
    return s;
  }

  Stmt lineStatement() {
    const int line = peek().line;
    Stmt s = simpleStatement();
    s.line = line;
    return s;
  }

  Stmt forStatement() {
    Stmt s = make(StmtKind::For);
    next();
    s.variable = variableName();
    expectSymbol("=");
    s.from = expression();
    expectWord("to");
    s.to = expression();
    if (acceptWord("step")) s.step = expression();
    expectStatementEnd();
    {
      const LoopScope scope(forDepth_);
      s.body = block({"next"});
    }
    if (!acceptWord("next")) fail("'Next'");
    if (peek().kind == TokenKind::Name) {
      const std::u16string n = widen(next().lower);
      if (n != text::asciiLowered(s.variable)) throw SyntaxError(s.line, "Next names another variable than its For");
    }
    expectStatementEnd();
    return s;
  }

  // `.Name` inside a With block.
  bool withMemberAhead() const { return withDepth_ > 0 && isSymbol("."); }

  bool procedureStart() const {
    std::size_t at = isWord("private") || isWord("public") ? 1 : 0;
    if (at == 1 && isWord("default", 1)) at = 2;
    return isWord("sub", at) || isWord("function", at) || isWord("property", at);
  }

  // Sub Name[(params)] ... End Sub, Function Name[(params)] ... End Function,
  // Property Get|Let|Set Name[(params)] ... End Property.
  Procedure procedure() {
    Procedure p;
    if (acceptWord("private")) p.isPublic = false;
    else if (acceptWord("public") && acceptWord("default")) p.isDefault = true;
    p.line = peek().line;
    const std::string kind = next().lower;
    if (kind == "property") {
      if (acceptWord("get")) p.kind = ProcedureKind::PropertyGet;
      else if (acceptWord("let")) p.kind = ProcedureKind::PropertyLet;
      else if (acceptWord("set")) p.kind = ProcedureKind::PropertySet;
      else fail("'Get', 'Let' or 'Set'");
    } else {
      p.kind = kind == "function" ? ProcedureKind::Function : ProcedureKind::Sub;
    }
    p.isFunction = p.kind == ProcedureKind::Function || p.kind == ProcedureKind::PropertyGet;
    if (p.isDefault && p.kind != ProcedureKind::Function && p.kind != ProcedureKind::PropertyGet &&
        p.kind != ProcedureKind::Sub) {
      throw SyntaxError(p.line, "'Default' only on a Function, Sub or Property Get");
    }
    p.name = variableName();
    if (acceptSymbol("(")) {
      if (!isSymbol(")")) {
        do {
          Parameter param;
          if (isWord("optional") || isWord("paramarray")) {
            throw SyntaxError(peek().line, "'" + peek().text + "' is not supported");
          }
          if (acceptWord("byval")) param.byVal = true;
          else acceptWord("byref");
          param.name = variableName();
          if (acceptSymbol("(")) expectSymbol(")");
          for (const Parameter& other : p.params) {
            if (lowerName(other.name) == lowerName(param.name)) {
              throw SyntaxError(peek().line, "parameter '" + std::string(param.name.begin(), param.name.end()) +
                                                 "' named twice");
            }
          }
          p.params.push_back(std::move(param));
        } while (acceptSymbol(","));
      }
      expectSymbol(")");
    }
    if ((p.kind == ProcedureKind::PropertyLet || p.kind == ProcedureKind::PropertySet) && p.params.empty()) {
      throw SyntaxError(p.line, "a Property Let or Set takes the new value as a parameter");
    }
    if (acceptWord("as")) typeName();
    expectStatementEnd();
    inFunction_ = p.isFunction;
    inProperty_ = kind == "property";
    inProcedure_ = true;
    p.body = block({"end"});
    inProcedure_ = false;
    if (!acceptWord("end")) fail("'End " + capitalised(kind) + "'");
    expectWord(kind);
    expectStatementEnd();
    return p;
  }

  // Class Name ... End Class: member variables (Dim, Public, Private) and
  // procedures, each Public unless marked Private.
  ClassDef classDefinition() {
    ClassDef c;
    c.line = next().line;
    c.name = variableName();
    expectStatementEnd();
    std::set<std::u16string> names;
    const auto define = [&](const std::u16string& name, int line, bool property) {
      const std::u16string lower = lowerName(name);
      if (property && properties_.contains(lower)) return;
      if (!names.insert(lower).second) {
        throw SyntaxError(line, "'" + std::string(name.begin(), name.end()) + "' is defined twice in the class");
      }
      if (property) properties_.insert(lower);
    };
    properties_.clear();
    for (;;) {
      while (peek().kind == TokenKind::EndOfStatement) next();
      if (isWord("end")) break;
      if (peek().kind == TokenKind::EndOfScript) fail("'End Class'");
      if (procedureStart()) {
        Procedure p = procedure();
        const bool property = p.kind == ProcedureKind::PropertyGet || p.kind == ProcedureKind::PropertyLet ||
                              p.kind == ProcedureKind::PropertySet;
        for (const Procedure& other : c.members) {
          if (other.kind == p.kind && lowerName(other.name) == lowerName(p.name)) {
            throw SyntaxError(p.line, "'" + std::string(p.name.begin(), p.name.end()) + "' is defined twice in the class");
          }
          if (p.isDefault && other.isDefault) throw SyntaxError(p.line, "a class has one Default member");
        }
        define(p.name, p.line, property);
        c.members.push_back(std::move(p));
        continue;
      }
      const int line = peek().line;
      bool isPublic = true;
      if (acceptWord("private")) isPublic = false;
      else if (!acceptWord("public") && !acceptWord("dim")) fail("a member of the class");
      do {
        ClassField f{dimItem(false), isPublic};
        define(f.item.name, line, false);
        c.fields.push_back(std::move(f));
      } while (acceptSymbol(","));
      expectStatementEnd();
    }
    next();
    expectWord("class");
    expectStatementEnd();
    return c;
  }

  Stmt constStatement() {
    Stmt s = make(StmtKind::Const);
    do {
      DimItem d;
      d.name = variableName();
      expectSymbol("=");
      s.dims.push_back(std::move(d));
      s.args.push_back(expression());
    } while (acceptSymbol(","));
    return s;
  }

  Stmt exitStatement() {
    Stmt s = make(StmtKind::Exit);
    if (acceptWord("for")) {
      if (forDepth_ == 0) throw SyntaxError(s.line, "'Exit For' outside a For loop");
      s.exits = ExitKind::For;
    } else if (acceptWord("do")) {
      if (doDepth_ == 0) throw SyntaxError(s.line, "'Exit Do' outside a Do loop");
      s.exits = ExitKind::Do;
    } else if (isWord("sub") || isWord("function") || isWord("property")) {
      const std::string kind = next().lower;
      const bool matches = kind == "property" ? inProperty_ : !inProperty_ && (kind == "function") == inFunction_;
      if (!inProcedure_ || !matches) throw SyntaxError(s.line, "'Exit " + capitalised(kind) + "' outside a " + capitalised(kind));
      s.exits = ExitKind::Procedure;
    } else {
      fail("'For', 'Do', 'Sub', 'Function' or 'Property'");
    }
    return s;
  }

  // Counts one enclosing loop of a kind while the loop's body is parsed.
  struct LoopScope {
    LoopScope(int& depth) : depth_(depth) { ++depth_; }  // NOLINT
    ~LoopScope() { --depth_; }
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;
    int& depth_;
  };

  Stmt forEachStatement() {
    Stmt s = make(StmtKind::ForEach);
    next();
    next();
    s.variable = variableName();
    expectWord("in");
    s.from = expression();
    expectStatementEnd();
    {
      const LoopScope scope(forDepth_);
      s.body = block({"next"});
    }
    if (!acceptWord("next")) fail("'Next'");
    if (peek().kind == TokenKind::Name) {
      if (widen(next().lower) != lowerName(s.variable)) {
        throw SyntaxError(s.line, "Next names another variable than its For");
      }
    }
    expectStatementEnd();
    return s;
  }

  // `While c` or `Until c` after Do or Loop, if there.
  bool loopCondition(Stmt& s) {
    if (!isWord("while") && !isWord("until")) return false;
    s.until = next().lower == "until";
    s.condition = expression();
    return true;
  }

  Stmt doStatement() {
    Stmt s = make(StmtKind::Do);
    s.exits = ExitKind::Do;  // Exit Do leaves this loop (not a While ... Wend)
    next();
    const bool atStart = loopCondition(s);
    expectStatementEnd();
    {
      const LoopScope scope(doDepth_);
      s.body = block({"loop"});
    }
    if (!acceptWord("loop")) fail("'Loop'");
    if (atStart && (isWord("while") || isWord("until"))) {
      throw SyntaxError(peek().line, "a Do loop has its condition at the start or at the end, not both");
    }
    if (!atStart) s.testAtEnd = loopCondition(s);
    expectStatementEnd();
    return s;
  }

  Stmt whileStatement() {
    Stmt s = make(StmtKind::Do);
    next();
    s.condition = expression();
    expectStatementEnd();
    s.body = block({"wend"});
    if (!acceptWord("wend")) fail("'Wend'");
    expectStatementEnd();
    return s;
  }

  Stmt selectStatement() {
    Stmt s = make(StmtKind::Select);
    next();
    expectWord("case");
    s.from = expression();
    expectStatementEnd();
    while (peek().kind == TokenKind::EndOfStatement) next();
    while (isWord("case")) {
      if (!s.cases.empty() && s.cases.back().tests.empty()) {
        throw SyntaxError(peek().line, "'Case' after 'Case Else'");
      }
      next();
      CaseBranch c;
      if (!acceptWord("else")) {
        do c.tests.push_back(caseTest());
        while (acceptSymbol(","));
      }
      if (!atStatementEnd()) fail("end of statement");
      c.body = block({"case", "end"});
      s.cases.push_back(std::move(c));
    }
    if (!acceptWord("end")) fail("'Case' or 'End Select'");
    expectWord("select");
    expectStatementEnd();
    return s;
  }

  CaseTest caseTest() {
    CaseTest t;
    if (acceptWord("is")) {
      if (!isOperator(kComparisons)) fail("a comparison after 'Is'");
      t.op = *next().op;
      t.value = concat();
      return t;
    }
    t.value = expression();
    if (acceptWord("to")) t.upper = expression();
    return t;
  }

  Stmt withStatement() {
    Stmt s = make(StmtKind::With);
    next();
    s.from = expression();
    expectStatementEnd();
    ++withDepth_;
    s.body = block({"end"});
    --withDepth_;
    if (!acceptWord("end")) fail("'End With'");
    expectWord("with");
    expectStatementEnd();
    return s;
  }

  // Marks each `x = x & e ...` whose right side can change x neither
  // through a procedure of the script nor as a by-reference argument.
  void markAppends(Program& p) {
    for (const Procedure& proc : p.procedures) {
      if (!procedures_.insert(lowerName(proc.name)).second) {
        throw SyntaxError(proc.line, "'" + std::string(proc.name.begin(), proc.name.end()) + "' is defined twice");
      }
    }
    for (const ClassDef& c : p.classes) {
      if (!classes_.insert(lowerName(c.name)).second || procedures_.contains(lowerName(c.name))) {
        throw SyntaxError(c.line, "'" + std::string(c.name.begin(), c.name.end()) + "' is defined twice");
      }
    }
    // A class's procedures may be called by their names inside it.
    for (const ClassDef& c : p.classes) {
      for (const Procedure& proc : c.members) procedures_.insert(lowerName(proc.name));
    }
    markAppends(p.statements);
    for (Procedure& proc : p.procedures) markAppends(proc.body);
    for (ClassDef& c : p.classes) {
      for (Procedure& proc : c.members) markAppends(proc.body);
    }
  }

  void markAppends(Block& block) {
    for (Stmt& s : block) {
      if (s.kind == StmtKind::Let) s.appendsToTarget = options_.appendsInPlace && appendsInPlace(s);
      for (IfBranch& b : s.branches) markAppends(b.body);
      for (CaseBranch& c : s.cases) markAppends(c.body);
      markAppends(s.elseBody);
      markAppends(s.body);
    }
  }

  bool appendsInPlace(const Stmt& s) const {
    if (s.target->kind != ExprKind::Name) return false;
    const std::u16string name = lowerName(s.target->name);
    const Expr* e = s.value.get();
    if (e->kind != ExprKind::Binary || e->op != Operator::Concatenate) return false;
    while (e->kind == ExprKind::Binary && e->op == Operator::Concatenate) {
      if (!cannotChange(*e->right, name)) return false;
      e = e->left.get();
    }
    return e->kind == ExprKind::Name && lowerName(e->name) == name;
  }

  // True when evaluating `e` calls no procedure of the script and passes
  // no variable by reference to an object's member.
  bool cannotChange(const Expr& e, const std::u16string& name) const {
    switch (e.kind) {
      case ExprKind::Literal:
      case ExprKind::With: return true;
      case ExprKind::New: return false;
      case ExprKind::Name: return !procedures_.contains(lowerName(e.name));
      case ExprKind::Paren:
      case ExprKind::Unary:
      case ExprKind::Member: return cannotChange(*e.target, name);
      case ExprKind::Binary: return cannotChange(*e.left, name) && cannotChange(*e.right, name);
      case ExprKind::Call: {
        const bool member = e.target->kind == ExprKind::Member;
        for (const ExprPtr& a : e.args) {
          if (!a) continue;
          if (member && a->kind == ExprKind::Name) return false;
          if (!cannotChange(*a, name)) return false;
        }
        return cannotChange(*e.target, name);
      }
    }
    return false;
  }

  // Expressions, lowest precedence first.
  ExprPtr expression() {
    const Nesting level(*this);
    return orExpr();
  }

  ExprPtr binary(ExprPtr left, Operator op, ExprPtr right, int line) {
    auto e = makeExpr(ExprKind::Binary, line);
    e->op = op;
    e->left = std::move(left);
    e->right = std::move(right);
    return finish(std::move(e));
  }

  // Left-associative operators of one precedence level over operands `operand` parses.
  template <typename Operand>
  ExprPtr leftToRight(std::span<const Operator> ops, Operand operand) {
    ExprPtr e = (this->*operand)();
    while (isOperator(ops)) {
      const Token& t = next();
      e = binary(std::move(e), *t.op, (this->*operand)(), t.line);
    }
    return e;
  }
  // A unary operator before what `operand` parses, or that alone.
  template <typename Operand>
  ExprPtr prefixed(std::span<const Operator> ops, Operand operand) {
    if (!isOperator(ops)) return (this->*operand)();
    const Nesting level(*this);
    const Token& t = next();
    auto e = makeExpr(ExprKind::Unary, t.line);
    e->op = *t.op;
    e->target = prefixed(ops, operand);
    return finish(std::move(e));
  }

  ExprPtr orExpr() { return leftToRight(kOrLevel, &Parser::andExpr); }
  ExprPtr andExpr() { return leftToRight(kAndLevel, &Parser::notExpr); }
  ExprPtr notExpr() { return prefixed(kNot, &Parser::comparison); }
  ExprPtr comparison() { return leftToRight(kComparisonLevel, &Parser::concat); }
  ExprPtr concat() { return leftToRight(kConcatLevel, &Parser::additive); }
  ExprPtr additive() { return leftToRight(kAddLevel, &Parser::multiplicative); }
  ExprPtr multiplicative() { return leftToRight(kMultiplyLevel, &Parser::unary); }
  ExprPtr unary() { return prefixed(kSigns, &Parser::power); }
  ExprPtr power() {
    ExprPtr e = postfix(false);
    if (isOperator(kPower)) {
      const int line = next().line;
      e = binary(std::move(e), Operator::Power, unary(), line);
    }
    return e;
  }

  std::vector<ExprPtr> argumentList() {
    std::vector<ExprPtr> args;
    expectSymbol("(");
    if (acceptSymbol(")")) return args;
    do {
      if (isSymbol(",") || isSymbol(")")) args.push_back(nullptr);
      else args.push_back(expression());
    } while (acceptSymbol(","));
    expectSymbol(")");
    return args;
  }

  // Member access and calls. At the start of a statement, a blank before
  // `(` after a member begins the arguments instead (`o.M (x), y`), as the
  // runtime reads it: `(x)` is then a value, not a variable.
  ExprPtr postfix(bool statementStart) {
    ExprPtr e = primary();
    for (;;) {
      // In a With block, `.Name` after a blank starts another expression
      // (`.Move .Left + 1`), not a member of this one.
      if (isSymbol(".") && !(withDepth_ > 0 && peek().spaceBefore && e->kind != ExprKind::With)) {
        const int line = next().line;
        if (peek().kind != TokenKind::Name) fail("a member name");
        auto m = makeExpr(ExprKind::Member, line);
        m->name = widen(next().text);
        m->target = std::move(e);
        e = finish(std::move(m));
      } else if (isSymbol("(") && e->kind != ExprKind::Literal && e->kind != ExprKind::Paren) {
        if (statementStart && peek().spaceBefore && (e->kind == ExprKind::Member || e->kind == ExprKind::Name)) {
          return e;
        }
        const int line = peek().line;
        auto c = makeExpr(ExprKind::Call, line);
        c->args = argumentList();
        c->target = std::move(e);
        e = finish(std::move(c));
      } else {
        return e;
      }
    }
  }

  ExprPtr primary() {
    const Token& t = peek();
    switch (t.kind) {
      case TokenKind::Integer: next(); return literal(integerValue(t.number), t.line);
      case TokenKind::Decimal: next(); return literal(Variant(t.number), t.line);
      case TokenKind::Date: next(); return literal(Variant::date(t.number), t.line);
      case TokenKind::String: next(); return literal(Variant(Text::fromUtf8(t.text)), t.line);
      case TokenKind::Name: {
        Variant constant;
        if (constantValue(t.lower, constant)) {
          next();
          return literal(std::move(constant), t.line);
        }
        if (t.lower == "new") {
          next();
          auto e = makeExpr(ExprKind::New, t.line);
          e->name = variableName();
          return e;
        }
        if (reserved(t.lower)) fail("an expression");
        next();
        auto e = makeExpr(ExprKind::Name, t.line);
        e->name = widen(t.text);
        return e;
      }
      case TokenKind::Symbol:
        if (t.text == "." && withDepth_ > 0) return makeExpr(ExprKind::With, t.line);
        if (t.text == "(") {
          next();
          auto e = makeExpr(ExprKind::Paren, t.line);
          e->target = expression();
          expectSymbol(")");
          return finish(std::move(e));
        }
        break;
      default: break;
    }
    fail("an expression");
  }

  // Counts one level of recursion for as long as it lives.
  class Nesting {
   public:
    explicit Nesting(Parser& p) : p_(p) {
      if (++p_.nesting_ > kMaxNesting) throw SyntaxError(p_.peek().line, "nested too deeply");
    }
    ~Nesting() { --p_.nesting_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    Parser& p_;
  };

  // Sets a new node's depth from its children and bounds it.
  ExprPtr finish(ExprPtr e) {
    int below = 0;
    for (const Expr* child : {e->target.get(), e->left.get(), e->right.get()}) {
      if (child != nullptr) below = std::max(below, child->depth);
    }
    for (const ExprPtr& a : e->args) {
      if (a) below = std::max(below, a->depth);
    }
    e->depth = below + 1;
    if (e->depth > kMaxTreeDepth) throw SyntaxError(e->line, "expression nested too deeply");
    return e;
  }

  std::vector<Token> t_;
  ParseOptions options_;
  std::size_t pos_ = 0;
  int nesting_ = 0;
  int withDepth_ = 0;
  int forDepth_ = 0;
  int doDepth_ = 0;
  bool inProcedure_ = false;
  bool inFunction_ = false;
  bool inProperty_ = false;
  std::set<std::u16string> properties_;  // the property names of the class being read
  std::set<std::u16string> procedures_;  // lower-case names of the script's procedures
  std::set<std::u16string> classes_;     // and of its classes
};

}  // namespace

Program parseScript(std::string_view source, const ParseOptions& options) {
  return Parser(tokenize(source), options).program();
}

ExprPtr parseExpression(std::string_view source) { return Parser(tokenize(source), {}).wholeExpression(); }

}  // namespace zidevuv10::script
