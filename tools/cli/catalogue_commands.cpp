// classes, typelib: the library's classes and their interfaces, from the
// member tables the library publishes (the same tables late-bound calls use).
#include <algorithm>
#include <cctype>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "zidevuv10/text.h"
#include "zidevuv10/type_info.h"

namespace zidevuv10::cli {

namespace {

const CommandSyntax kClasses{
    "classes",
    "list the library's classes",
    "Prints one line per creatable class, in type-library order: its ProgID,\n"
    "its class id and the id of its interface.",
    {},
    {},
    "the list could not be written"};

const CommandSyntax kTypelib{
    "typelib",
    "list the classes' interfaces",
    "Prints the type library: its name, id, version and locale, its enumerations,\n"
    "then each class's interface with one member a line in slot order:\n"
    "slot, kind (method, propget, propput, propputref), name, dispatch id,\n"
    "parameters and result type. The listing is stable, so two runs can be\n"
    "compared with diff. With CLASS, only that class's interface.",
    {{"CLASS", "a class name or ProgID, without regard to case", true}},
    {},
    "there is no class named CLASS"};

std::string utf8(std::u16string_view s) { return Text(std::u16string(s)).utf8(); }

std::string lowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

const ClassInfo* findClass(const std::string& name) {
  const std::string wanted = lowerAscii(name);
  for (const ClassInfo* info : libraryClasses()) {
    if (lowerAscii(utf8(info->name)) == wanted || lowerAscii(utf8(info->progId())) == wanted) {
      return info;
    }
  }
  return nullptr;
}

int runClasses(const ParsedArgs&) {
  const std::vector<const ClassInfo*> classes = libraryClasses();
  std::size_t width = 0;
  for (const ClassInfo* info : classes) width = std::max(width, utf8(info->progId()).size());
  for (const ClassInfo* info : classes) {
    const std::string progId = utf8(info->progId());
    std::cout << progId << std::string(width - progId.size(), ' ') << "  {" << utf8(info->classId)
              << "}  {" << utf8(info->interfaceId) << "}\n";
  }
  return kExitOk;
}

void printClass(const ClassInfo& info) {
  std::cout << "class " << utf8(info.progId()) << "\n" << describeClass(info);
}

int runTypelib(const ParsedArgs& args) {
  if (const std::string* name = args.operand(0)) {
    const ClassInfo* info = findClass(*name);
    if (info == nullptr) throw Failure("no class named '" + *name + "'");
    printClass(*info);
    return kExitOk;
  }
  const TypeLibraryInfo& lib = typeLibrary();
  std::cout << "library " << utf8(lib.name) << " {" << utf8(lib.id) << "} version "
            << lib.majorVersion << "." << lib.minorVersion << " locale " << lib.locale << "\n";
  for (const EnumInfo& e : libraryEnums()) {
    std::cout << "\nenum " << utf8(e.name) << " {" << utf8(e.id) << "}\n";
    for (const auto& [name, value] : e.values) {
      std::cout << "  " << utf8(name) << " = " << value << "\n";
    }
  }
  for (const ClassInfo* info : libraryClasses()) {
    std::cout << "\n";
    printClass(*info);
  }
  return kExitOk;
}

}  // namespace

std::vector<Command> catalogueCommands() {
  return {{&kClasses, runClasses}, {&kTypelib, runTypelib}};
}

}  // namespace zidevuv10::cli
