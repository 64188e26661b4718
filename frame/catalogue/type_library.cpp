// The library's identity, its enumeration and the readable listing of each
// class's interface.
#include <cstdio>
#include <string>

#include "catalogue/catalogue.h"
#include "zidevuv10/text.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10 {

namespace {

std::string typeName(const TypeRef& t) {
  switch (t.code) {
    case TypeCode::Void: return "";
    case TypeCode::Int16: return "Integer";
    case TypeCode::Int32: return t.name.empty() ? "Long" : Text(std::u16string(t.name)).utf8();
    case TypeCode::Single: return "Single";
    case TypeCode::Double: return "Double";
    case TypeCode::Bool: return "Boolean";
    case TypeCode::Text: return "String";
    case TypeCode::Variant: return "Variant";
    case TypeCode::Object: return t.name.empty() ? "Object" : Text(std::u16string(t.name)).utf8();
    case TypeCode::TextArray: return "String()";
  }
  return "";
}

const char* kindName(InvokeKind k) {
  switch (k) {
    case InvokeKind::Method: return "method";
    case InvokeKind::PropertyGet: return "propget";
    case InvokeKind::PropertyLet: return "propput";
    case InvokeKind::PropertySet: return "propputref";
  }
  return "";
}

}  // namespace

const TypeLibraryInfo& typeLibrary() {
  static const TypeLibraryInfo info{u"VEZEzoro10", u"cd5c46dc-e09a-4aaa-98c6-27944042ac26", 1, 0,
                                    1033};
  return info;
}

std::vector<const ClassInfo*> libraryClasses() {
  std::vector<const ClassInfo*> out;
  for (const auto& e : frame::catalogue()) out.push_back(e.info);
  return out;
}

const std::vector<EnumInfo>& libraryEnums() {
  static const std::vector<EnumInfo> enums{
      {u"ExtractFileName_Constants", u"b32a77c6-50f7-4bca-ac72-d0bd652239d7",
       {{u"exnFullName", 1}, {u"exnOnlyExtn", 2}}}};
  return enums;
}

std::string describeClass(const ClassInfo& info) {
  std::string out = "interface " + Text(info.interfaceName()).utf8() + " {" +
                    Text(std::u16string(info.interfaceId)).utf8() + "} of class " +
                    Text(std::u16string(info.name)).utf8() + " {" +
                    Text(std::u16string(info.classId)).utf8() + "}\n";
  int slot = 0;
  for (const auto& m : info.members) {
    char id[16];
    std::snprintf(id, sizeof id, "0x%08x", static_cast<unsigned>(m.dispatchId));
    out += "  " + std::to_string(++slot) + " " + kindName(m.kind) + " " +
           Text(std::u16string(m.name)).utf8() + " " + id + " (";
    for (std::size_t i = 0; i < m.params.size(); ++i) {
      const ParamInfo& p = m.params[i];
      if (i) out += ", ";
      if (p.optional) out += "Optional ";
      out += p.byRef ? "ByRef " : "ByVal ";
      out += Text(std::u16string(p.name)).utf8() + " As " + typeName(p.type);
      if (p.optional && p.defaultType != TypeCode::Void) {
        out += " = " + std::to_string(p.defaultValue);
      }
    }
    out += ")";
    if (m.result.code != TypeCode::Void) out += " As " + typeName(m.result);
    out += "\n";
  }
  return out;
}

}  // namespace zidevuv10
