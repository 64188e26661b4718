#include "zidevuv10/variant.h"

#include <cmath>

#include "automation/number_text.h"
#include "zidevuv10/date.h"
#include "text/ascii_case.h"
#include "zidevuv10/error.h"
#include "zidevuv10/safe_array.h"

namespace zidevuv10 {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

Variant Variant::null() { return Variant(Storage(NullTag{})); }
Variant Variant::missing() { return Variant(Storage(MissingTag{})); }
Variant Variant::boolean(bool v) { return Variant(Storage(BoolTag{v ? kTrue : kFalse})); }
Variant Variant::date(double days) { return Variant(Storage(DateTag{days})); }
Variant Variant::byRef(Variant& target) { return Variant(Storage(&target.deref())); }

const Variant& Variant::deref() const {
  const Variant* v = this;
  while (const auto* p = std::get_if<Variant*>(&v->v_)) v = *p;
  return *v;
}

Variant& Variant::deref() {
  Variant* v = this;
  while (auto* p = std::get_if<Variant*>(&v->v_)) v = *p;
  return *v;
}

VarType Variant::type() const {
  const Variant& v = deref();
  return std::visit(Overloaded{
                        [](std::monostate) { return VarType::Empty; },
                        [](NullTag) { return VarType::Null; },
                        [](MissingTag) { return VarType::Missing; },
                        [](uint8_t) { return VarType::Byte; },
                        [](int16_t) { return VarType::Integer; },
                        [](int32_t) { return VarType::Long; },
                        [](float) { return VarType::Single; },
                        [](double) { return VarType::Double; },
                        [](BoolTag) { return VarType::Boolean; },
                        [](const Text&) { return VarType::String; },
                        [](const ObjectRef&) { return VarType::Object; },
                        [](const std::shared_ptr<SafeArray>&) { return VarType::Array; },
                        [](Variant*) { return VarType::ByRef; },
                        [](DateTag) { return VarType::Date; },
                    },
                    v.v_);
}

double Variant::toDouble() const {
  const Variant& v = deref();
  return std::visit(Overloaded{
                        [](std::monostate) { return 0.0; },
                        [](NullTag) -> double { raiseError(err::kInvalidUseOfNull); },
                        [](MissingTag) -> double { raiseError(err::kTypeMismatch); },
                        [](uint8_t x) { return static_cast<double>(x); },
                        [](int16_t x) { return static_cast<double>(x); },
                        [](int32_t x) { return static_cast<double>(x); },
                        [](float x) { return static_cast<double>(x); },
                        [](double x) { return x; },
                        [](BoolTag b) { return static_cast<double>(b.v); },
                        [](const Text& t) {
                          const auto n = automation::parseNumber(t.str());
                          if (!n) raiseError(err::kTypeMismatch);
                          return *n;
                        },
                        [](const ObjectRef&) -> double { raiseError(err::kTypeMismatch); },
                        [](const std::shared_ptr<SafeArray>&) -> double {
                          raiseError(err::kTypeMismatch);
                        },
                        [](Variant*) -> double { raiseError(err::kTypeMismatch); },
                        [](DateTag d) { return d.days; },
                    },
                    v.v_);
}

int16_t Variant::toInt16() const {
  const Variant& v = deref();
  if (const auto* x = std::get_if<int16_t>(&v.v_)) return *x;
  if (const auto* b = std::get_if<BoolTag>(&v.v_)) return b->v;
  const auto r = automation::roundToInt16(v.toDouble());
  if (!r) raiseError(err::kOverflow);
  return *r;
}

int32_t Variant::toInt32() const {
  const Variant& v = deref();
  if (const auto* x = std::get_if<int32_t>(&v.v_)) return *x;
  if (const auto* y = std::get_if<int16_t>(&v.v_)) return *y;
  if (const auto* b = std::get_if<BoolTag>(&v.v_)) return b->v;
  const auto r = automation::roundToInt32(v.toDouble());
  if (!r) raiseError(err::kOverflow);
  return *r;
}

float Variant::toSingle() const {
  const double d = toDouble();
  if (std::fabs(d) > 3.402823466e38) raiseError(err::kOverflow);
  return static_cast<float>(d);
}

Bool16 Variant::toBool() const {
  const Variant& v = deref();
  if (const auto* t = std::get_if<Text>(&v.v_)) {
    const std::u16string s = text::asciiUppered(t->str());
    if (s == u"TRUE") return kTrue;
    if (s == u"FALSE") return kFalse;
  }
  return v.toDouble() != 0 ? kTrue : kFalse;
}

Text Variant::toText() const {
  const Variant& v = deref();
  return std::visit(Overloaded{
                        [](std::monostate) { return Text::empty(); },
                        [](NullTag) -> Text { raiseError(err::kInvalidUseOfNull); },
                        [](MissingTag) -> Text { raiseError(err::kTypeMismatch); },
                        [](uint8_t x) { return Text::fromUtf8(std::to_string(x)); },
                        [](int16_t x) { return Text::fromUtf8(std::to_string(x)); },
                        [](int32_t x) { return Text::fromUtf8(std::to_string(x)); },
                        [](float x) { return Text(automation::formatSingle(x)); },
                        [](double x) { return Text(automation::formatDouble(x)); },
                        [](BoolTag b) { return Text(b.v ? u"True" : u"False"); },
                        [](const Text& t) { return t; },
                        [](const ObjectRef&) -> Text { raiseError(err::kTypeMismatch); },
                        [](const std::shared_ptr<SafeArray>&) -> Text {
                          raiseError(err::kTypeMismatch);
                        },
                        [](Variant*) -> Text { raiseError(err::kTypeMismatch); },
                        [](DateTag d) { return formatDate(d.days); },
                    },
                    v.v_);
}

ObjectRef Variant::toObject() const {
  const Variant& v = deref();
  if (const auto* o = std::get_if<ObjectRef>(&v.v_)) return *o;
  raiseError(err::kTypeMismatch);
}

std::shared_ptr<SafeArray> Variant::toArray() const {
  const Variant& v = deref();
  if (const auto* a = std::get_if<std::shared_ptr<SafeArray>>(&v.v_)) return *a;
  raiseError(err::kTypeMismatch);
}

const Text& Variant::text() const { return std::get<Text>(deref().v_); }
Text& Variant::text() { return std::get<Text>(deref().v_); }
int16_t Variant::int16() const { return std::get<int16_t>(deref().v_); }
int32_t Variant::int32() const { return std::get<int32_t>(deref().v_); }
int32_t& Variant::int32() { return std::get<int32_t>(deref().v_); }

void Variant::assign(Variant value) {
  Variant& target = deref();
  target = value.isByRef() ? Variant(value.deref()) : std::move(value);
}

}  // namespace zidevuv10
