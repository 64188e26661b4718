// Splits a script into tokens, one pass, keeping line numbers for errors.
#include "lexer.h"

#include "zidevuv10/date.h"
#include "zidevuv10/text.h"

#include <cctype>
#include <cmath>
#include <utility>

namespace zidevuv10::script {

namespace {

bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The operator a symbol or a word (in lower case) is written as.
std::optional<Operator> operatorWritten(std::string_view lower) {
  static constexpr std::pair<std::string_view, Operator> kSpellings[] = {
      {"+", Operator::Add},
      {"-", Operator::Subtract},
      {"*", Operator::Multiply},
      {"/", Operator::Divide},
      {"\\", Operator::IntegerDivide},
      {"mod", Operator::Modulo},
      {"^", Operator::Power},
      {"&", Operator::Concatenate},
      {"=", Operator::Equal},
      {"<>", Operator::NotEqual},
      {"<", Operator::Less},
      {">", Operator::Greater},
      {"<=", Operator::LessOrEqual},
      {">=", Operator::GreaterOrEqual},
      {"is", Operator::Is},
      {"and", Operator::And},
      {"or", Operator::Or},
      {"xor", Operator::Xor},
      {"not", Operator::Not},
  };
  for (const auto& [spelling, op] : kSpellings) {
    if (spelling == lower) return op;
  }
  return std::nullopt;
}

class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  std::vector<Token> run() {
    while (pos_ < s_.size()) step();
    endStatement();
    out_.push_back(Token{TokenKind::EndOfScript, "", "", 0, line_, false, std::nullopt});
    return std::move(out_);
  }

 private:
  char peek(std::size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }

  void push(TokenKind kind, std::string text, double number = 0) {
    std::string low = kind == TokenKind::String ? std::string() : lowered(text);
    const std::optional<Operator> op =
        kind == TokenKind::Name || kind == TokenKind::Symbol ? operatorWritten(low) : std::nullopt;
    out_.push_back(Token{kind, std::move(text), std::move(low), number, line_, space_, op});
    space_ = false;
  }

  // One statement end for any run of line ends and colons.
  void endStatement() {
    if (!out_.empty() && out_.back().kind != TokenKind::EndOfStatement) {
      push(TokenKind::EndOfStatement, "");
    }
  }

  void skipToLineEnd() {
    while (pos_ < s_.size() && s_[pos_] != '\n' && s_[pos_] != '\r') ++pos_;
  }

  void newLine() {
    if (peek() == '\r' && peek(1) == '\n') ++pos_;
    ++pos_;
    endStatement();
    ++line_;
  }

  // `_` after a blank, with only blanks (or a comment) to the line end.
  bool continuation() const {
    if (peek() != '_' || (pos_ > 0 && !isBlank(s_[pos_ - 1]))) return false;
    std::size_t p = pos_ + 1;
    while (p < s_.size() && isBlank(s_[p])) ++p;
    return p == s_.size() || s_[p] == '\n' || s_[p] == '\r';
  }

  void step() {
    const char c = peek();
    if (isBlank(c)) {
      ++pos_;
      space_ = true;
    } else if (c == '\n' || c == '\r') {
      newLine();
    } else if (c == ':' && peek(1) == '=') {
      throw SyntaxError(line_, "named arguments (':=') are not supported");
    } else if (c == ':') {
      ++pos_;
      endStatement();
    } else if (c == '\'') {
      skipToLineEnd();
    } else if (continuation()) {
      ++pos_;
      while (isBlank(peek())) ++pos_;
      // The line end joins the next line; a continuation at the very end of
      // the script continues into nothing and stays on its own line.
      if (pos_ < s_.size()) {
        if (peek() == '\r' && peek(1) == '\n') ++pos_;
        ++pos_;
        ++line_;
      }
      space_ = true;
    } else if (c == '"') {
      stringLiteral();
    } else if (c == '#') {
      dateLiteral();
    } else if (isDigit(c) || (c == '.' && isDigit(peek(1)))) {
      numberLiteral();
    } else if (c == '&' && (peek(1) == 'h' || peek(1) == 'H') && std::isxdigit(static_cast<unsigned char>(peek(2)))) {
      hexLiteral();
    } else if (isNameStart(c)) {
      name();
    } else {
      symbol();
    }
  }

  void stringLiteral() {
    const int startLine = line_;
    std::string text;
    ++pos_;
    for (;;) {
      if (pos_ >= s_.size() || s_[pos_] == '\n' || s_[pos_] == '\r') {
        throw SyntaxError(startLine, "unterminated string");
      }
      if (s_[pos_] == '"') {
        if (peek(1) == '"') {
          text += '"';
          pos_ += 2;
          continue;
        }
        ++pos_;
        break;
      }
      text += s_[pos_++];
    }
    push(TokenKind::String, std::move(text));
  }

  // #11/1/2006#, #2006-11-01 13:45#, #1:45 PM#.
  void dateLiteral() {
    const std::size_t start = ++pos_;
    while (pos_ < s_.size() && s_[pos_] != '#' && s_[pos_] != '\n' && s_[pos_] != '\r') ++pos_;
    if (pos_ >= s_.size() || s_[pos_] != '#') throw SyntaxError(line_, "unterminated date");
    const std::string text(s_.substr(start, pos_ - start));
    ++pos_;
    const std::optional<double> date = parseDate(Text::fromUtf8(text).str(), true);
    if (!date) throw SyntaxError(line_, "not a date: #" + text + "#");
    push(TokenKind::Date, text, *date);
  }

  void numberLiteral() {
    const std::size_t start = pos_;
    bool decimal = false;
    while (isDigit(peek())) ++pos_;
    if (peek() == '.' && isDigit(peek(1))) {
      decimal = true;
      ++pos_;
      while (isDigit(peek())) ++pos_;
    }
    if ((peek() == 'e' || peek() == 'E') &&
        (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
      decimal = true;
      pos_ += 2;
      while (isDigit(peek())) ++pos_;
    }
    std::string text(s_.substr(start, pos_ - start));
    const double value = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(value)) throw SyntaxError(line_, "number too large: " + text);
    if (isNameChar(peek())) throw SyntaxError(line_, "bad number: " + text + peek());
    push(decimal ? TokenKind::Decimal : TokenKind::Integer, std::move(text), value);
  }

  void hexLiteral() {
    const std::size_t start = pos_;
    pos_ += 2;
    uint64_t value = 0;
    while (std::isxdigit(static_cast<unsigned char>(peek()))) {
      const char d = static_cast<char>(std::tolower(static_cast<unsigned char>(peek())));
      value = value * 16 + static_cast<uint64_t>(isDigit(d) ? d - '0' : d - 'a' + 10);
      if (value > 0xFFFFFFFFu) throw SyntaxError(line_, "hexadecimal number too large");
      ++pos_;
    }
    // Four hex digits make an Integer, eight a Long, both in two's complement.
    const std::size_t digits = pos_ - start - 2;
    double number = 0;
    if (digits <= 4) {
      number = static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
    } else {
      number = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
    }
    push(TokenKind::Integer, std::string(s_.substr(start, pos_ - start)), number);
  }

  void name() {
    const std::size_t start = pos_;
    while (isNameChar(peek())) ++pos_;
    // The runtime's text functions may carry a `$` (Left$, Chr$).
    if (peek() == '$') ++pos_;
    std::string text(s_.substr(start, pos_ - start));
    if (lowered(text) == "rem") {
      skipToLineEnd();
      return;
    }
    push(TokenKind::Name, std::move(text));
  }

  void symbol() {
    static constexpr std::string_view kTwo[] = {"<>", "<=", ">="};
    for (std::string_view two : kTwo) {
      if (s_.substr(pos_, 2) == two) {
        pos_ += 2;
        push(TokenKind::Symbol, std::string(two));
        return;
      }
    }
    const char c = peek();
    if (std::string_view("=<>&+-*/\\^(),.").find(c) == std::string_view::npos) {
      const unsigned byte = static_cast<unsigned char>(c);
      throw SyntaxError(line_, byte >= 0x20 && byte < 0x7f
                                   ? std::string("unexpected character '") + c + "'"
                                   : "unexpected character " + std::to_string(byte));
    }
    ++pos_;
    push(TokenKind::Symbol, std::string(1, c));
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  int line_ = 1;
  bool space_ = false;
  std::vector<Token> out_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view source) {
  // A UTF-8 byte-order mark is not part of the script.
  if (source.substr(0, 3) == "\xEF\xBB\xBF") source.remove_prefix(3);
  return Lexer(source).run();
}

}  // namespace zidevuv10::script
