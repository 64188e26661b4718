// get, set, del, entries: initialization files through the library's
// exported profile functions, so the tool reads and writes files exactly as
// every other client of the store does.
#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "host_files.h"
#include "store_failure.h"
#include "zidevuv10/profile.h"

namespace zidevuv10::cli {

namespace {

constexpr OperandSyntax kFileOperand{
    "FILE", "the initialization file: a host path, a relative one from the current folder"};

const CommandSyntax kGet{
    "get",
    "list sections or keys, or read a value",
    "Without SECTION, prints the file's section names; without KEY, the section's\n"
    "key names (nothing for a missing section); one name a line, in file order.\n"
    "With KEY, prints the key's value, or the --default text when the key is\n"
    "missing. Names match without regard to case.",
    {kFileOperand,
     {"SECTION", "the section whose keys or value to read", true},
     {"KEY", "the key whose value to print", true}},
    {{"--default", "TEXT", "print TEXT when KEY is missing, instead of failing"}},
    "FILE is missing or unreadable, or KEY is missing and no --default is given"};

const CommandSyntax kSet{
    "set",
    "write a value (creates the file)",
    "Writes KEY=VALUE into SECTION, adding the section or key when missing and\n"
    "creating the file when it does not exist; its folder must exist. Every other\n"
    "line of the file is kept byte for byte.",
    {kFileOperand,
     {"SECTION", "the section to write into"},
     {"KEY", "the key to write"},
     {"VALUE", "the value (one line of UTF-8 text; blanks around it are dropped)"}},
    {},
    "the write was refused or failed (missing folder, no permission, a line end in the text, ...)"};

const CommandSyntax kDel{
    "del",
    "delete a section or a key",
    "Deletes the whole SECTION, or only KEY in it. Deleting what is not there\n"
    "succeeds and leaves the file as it was.",
    {kFileOperand,
     {"SECTION", "the section to delete, or whose key to delete"},
     {"KEY", "the key to delete", true}},
    {},
    "FILE is missing, or the write was refused or failed"};

const CommandSyntax kEntries{
    "entries",
    "print a section's key=value lines",
    "Prints the section's entries, one key=value line each, in file order, as the\n"
    "store lists them (nothing for a missing section).",
    {kFileOperand, {"SECTION", "the section to list"}},
    {},
    "FILE is missing or unreadable"};

// The store's answer whole: when it may have been cut, the buffer grows and
// the call is repeated. A cut value answers size-1 bytes and a cut list
// size-2, each up to three bytes less when the cut steps back to a UTF-8
// character boundary, so only an answer shorter than size-5 is surely whole.
template <typename Call>
std::string wholeAnswer(Call call) {
  uint32_t size = 1024;
  for (;;) {
    std::vector<char> buffer(size);
    const uint32_t n = call(buffer.data(), size);
    if (static_cast<uint64_t>(n) + 5 < size) return std::string(buffer.data(), n);
    if (size > std::numeric_limits<uint32_t>::max() / 2) throw Failure("the answer is too long");
    size *= 2;
  }
}

// A NUL-separated list as the store answers it, one item a line.
void printList(const std::string& items) {
  std::size_t start = 0;
  while (start < items.size()) {
    std::size_t end = items.find('\0', start);
    if (end == std::string::npos) end = items.size();
    std::cout.write(items.data() + start, static_cast<std::streamsize>(end - start)) << '\n';
    start = end + 1;
  }
}

std::string valueOf(const char* section, const char* key, const char* defaultValue,
                    const std::string& file) {
  return wholeAnswer([&](char* buffer, uint32_t size) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file.c_str());
  });
}

// The key's value, or nothing when the key is missing: the store answers the
// default for a missing key, and no value equals two different defaults.
// The last error is the first read's.
std::optional<std::string> lookUp(const std::string& section, const std::string& key,
                                  const std::string& file) {
  std::string value = valueOf(section.c_str(), key.c_str(), "\x01", file);
  if (value != "\x01") return value;
  const uint32_t error = GetLastError();
  const bool missing = valueOf(section.c_str(), key.c_str(), "\x02", file) == "\x02";
  SetLastError(error);
  if (missing) return std::nullopt;
  return value;
}

// Failure naming what was attempted and the cause the store reported.
[[noreturn]] void writeFailed(const std::string& argument, const std::string& change) {
  throw Failure(argument + ": cannot " + change + ": " + causeOf(GetLastError()));
}

int runGet(const ParsedArgs& args) {
  const std::string& fileArg = args.operands[0];
  const std::string file = storePath(fileArg);
  const std::string* section = args.operand(1);
  const std::string* key = args.operand(2);
  if (args.has("--default") && key == nullptr) {
    throw UsageError("get", "get: --default needs a KEY");
  }
  if (section == nullptr) {
    const std::string names = wholeAnswer([&](char* buffer, uint32_t size) {
      return GetPrivateProfileSectionNamesA(buffer, size, file.c_str());
    });
    requireFileRead(fileArg);
    printList(names);
    return kExitOk;
  }
  if (key == nullptr) {
    const std::string keys = valueOf(section->c_str(), nullptr, "", file);
    requireFileRead(fileArg);
    printList(keys);
    return kExitOk;
  }
  std::optional<std::string> value = lookUp(*section, *key, file);
  requireFileRead(fileArg);
  if (!value) {
    const auto fallback = args.options.find("--default");
    if (fallback == args.options.end()) {
      throw Failure(fileArg + ": no key '" + *key + "' in section [" + *section + "]");
    }
    value = fallback->second;
  }
  std::cout.write(value->data(), static_cast<std::streamsize>(value->size())) << '\n';
  return kExitOk;
}

int runSet(const ParsedArgs& args) {
  const std::string& fileArg = args.operands[0];
  const std::string file = storePath(fileArg);
  const std::string& section = args.operands[1];
  const std::string& key = args.operands[2];
  if (WritePrivateProfileStringA(section.c_str(), key.c_str(), args.operands[3].c_str(),
                                 file.c_str()) == 0) {
    writeFailed(fileArg, "set '" + key + "' in [" + section + "]");
  }
  return kExitOk;
}

int runDel(const ParsedArgs& args) {
  const std::string& fileArg = args.operands[0];
  const std::string file = storePath(fileArg);
  const std::string& section = args.operands[1];
  const std::string* key = args.operand(2);
  // Deleting from a missing file would succeed and change nothing: the file
  // must be there (asked of the store, which also finds it without regard to case).
  char names[2];
  GetPrivateProfileSectionNamesA(names, sizeof names, file.c_str());
  requireFileRead(fileArg);
  if (WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr, nullptr,
                                 file.c_str()) == 0) {
    writeFailed(fileArg, key ? "delete '" + *key + "' in [" + section + "]"
                             : "delete [" + section + "]");
  }
  return kExitOk;
}

int runEntries(const ParsedArgs& args) {
  const std::string& fileArg = args.operands[0];
  const std::string file = storePath(fileArg);
  const std::string entries = wholeAnswer([&](char* buffer, uint32_t size) {
    return GetPrivateProfileSectionA(args.operands[1].c_str(), buffer, size, file.c_str());
  });
  requireFileRead(fileArg);
  printList(entries);
  return kExitOk;
}

}  // namespace

std::vector<Command> storeCommands() {
  return {{&kGet, runGet}, {&kSet, runSet}, {&kDel, runDel}, {&kEntries, runEntries}};
}

}  // namespace zidevuv10::cli
