// get, set, del, entries, merge: initialization files through the library's
// profile store, so the tool reads and writes files exactly as every other
// client of the store does.
#include <algorithm>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "change_options.h"
#include "commands.h"
#include "file_operand.h"
#include "list_value.h"
#include "host_files.h"
#include "ini_output.h"
#include "profile_reader.h"
#include "services/services.h"
#include "store_failure.h"
#include "store/document.h"
#include "store/profile_store.h"
#include "store/write_rules.h"
#include "text/blanks.h"
#include "text/case_fold.h"
#include "text/encoding.h"

namespace zidevuv10::cli {

namespace {

constexpr OperandSyntax kFileOperand{
    "FILE",
    "the initialization file: a host path (a relative one from the current\n"
    "folder), a Windows path such as C:\\dir\\app.ini or .\\app.ini, or - for\n"
    "standard input"};

constexpr OptionSyntax kFormatOption{
    "--format", "FORMAT",
    "lines (default), sh (key='value' lines), ini ([section] and\n"
    "key=value lines) or json (an object of sections holding objects of keys)"};

const CommandSyntax kGet{
    "get",
    "list sections or keys, or read a value",
    "Without SECTION, prints the file's section names; without KEY, the section's\n"
    "key names; one name a line, in file order. With KEY, prints the key's value.\n"
    "A missing file, section or key is a failure naming which one is missing,\n"
    "unless --default is given: then its text is printed. --format prints a whole\n"
    "file or section in another form. Names match without regard to case. FILE -\n"
    "reads standard input.",
    {kFileOperand,
     {"SECTION",
      "the section whose keys or value to read (\"\": the lines before the\nfirst header)", true},
     {"KEY", "the key whose value to print", true}},
    {{"--default", "TEXT", "print TEXT when the file, SECTION or KEY is missing"}, kFormatOption},
    "FILE, SECTION or KEY is missing (without --default), or FILE is unreadable"};

constexpr OptionSyntax kListOption{
    "--list", "", "treat KEY's value as a list of items (see --list-sep): set\n"
                  "adds VALUE to it, del removes ITEM"};
constexpr OptionSyntax kListSepOption{
    "--list-sep", "SEP",
    "the items' separator (default \",\", written as \", \"); empty:\n"
    "runs of blanks, written as one blank"};

const CommandSyntax kSet{
    "set",
    "write a value or add a section (creates the file)",
    "Writes KEY=VALUE into SECTION, adding the section or key when missing and\n"
    "creating the file when it does not exist; its folder must exist. Without\n"
    "KEY, adds SECTION empty when the file lacks it. Every other line of the\n"
    "file is kept byte for byte, and a write that changes nothing leaves the\n"
    "file untouched. FILE - reads the file from standard input and prints the\n"
    "result on standard output.",
    {kFileOperand,
     {"SECTION", "the section to write into (\"\": the lines before the first header)"},
     {"KEY", "the key to write", true},
     {"VALUE", "the value (one line of UTF-8 text; blanks around it are\ndropped; default empty)",
      true}},
    {kExistingOption, kListOption, kListSepOption, kOutputOption, kVerboseOption},
    "the write was refused or failed (missing folder, no permission, a line end\n"
    "in the text), or with --existing the file, SECTION or KEY is missing"};

const CommandSyntax kDel{
    "del",
    "delete a section, a key or a list item",
    "Deletes the whole SECTION, or only KEY in it, or with --list the item ITEM\n"
    "of KEY's value. Deleting what is not there (also in a file that does not\n"
    "exist) succeeds and changes nothing, unless --existing is given. FILE -\n"
    "reads the file from standard input and prints the result on standard output.",
    {kFileOperand,
     {"SECTION",
      "the section to delete, or whose key to delete (\"\": the lines\nbefore the first header, "
      "with a KEY)"},
     {"KEY", "the key to delete", true},
     {"ITEM", "with --list: the item to remove from KEY's value", true}},
    {kExistingOption, kListOption, kListSepOption, kOutputOption, kVerboseOption},
    "the write was refused or failed, or with --existing the file, SECTION or\n"
    "KEY is missing"};

const CommandSyntax kEntries{
    "entries",
    "print a section's key=value lines",
    "Prints the section's entries, one key=value line each, in file order, as the\n"
    "store lists them; --format prints them in another form. FILE - reads standard\n"
    "input.",
    {kFileOperand, {"SECTION", "the section to list (\"\": the lines before the first header)"}},
    {kFormatOption},
    "FILE or SECTION is missing, or FILE is unreadable"};

const CommandSyntax kMerge{
    "merge",
    "write every entry of INI text read from standard input",
    "Reads INI text ([section] headers, key=value lines, in any encoding the\n"
    "store reads) from standard input and writes each key=value entry into its\n"
    "section of FILE, or into SECTION when given, in one atomic write of the file\n"
    "(creating it when it does not exist). A later entry of the same key wins.\n"
    "Without SECTION, entries before the input's first header go before FILE's\n"
    "first header, outside any section. With --existing (or --existing=param)\n"
    "only keys FILE has are changed; the others are left out.",
    {kFileOperand,
     {"SECTION", "the section every entry goes into (\"\": the lines before the\nfirst header)",
      true}},
    {kExistingOption, kOutputOption, kVerboseOption},
    "the input holds a line that is no entry or a NUL, the write was refused or\n"
    "failed, or with --existing=file or =section FILE or a section is missing"};

Format formatOf(const ParsedArgs& args, const std::string& command) {
  const auto given = args.options.find("--format");
  if (given == args.options.end()) return Format::Lines;
  const auto format = formatNamed(given->second);
  if (!format) {
    throw UsageError(command, command + ": unknown format '" + given->second +
                                  "' (lines, sh, ini or json)");
  }
  return *format;
}

void print(const std::string& text) {
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void printLines(const std::vector<std::string>& items) {
  for (const std::string& item : items) print(item + "\n");
}

// The one place that turns a refused write into its message, naming the
// cause the store reported.
Failure writeFailed(const FileOperand& file, const std::string& change, store::Status status) {
  return Failure(file.argument() + ": cannot " + change + ": " + causeOf(status));
}

const char* nameOf(text::Encoding encoding) {
  switch (encoding) {
    case text::Encoding::Utf8:
      return "UTF-8";
    case text::Encoding::Utf16LE:
      return "UTF-16LE";
    case text::Encoding::Utf16BE:
      return "UTF-16BE";
    case text::Encoding::Windows1252:
      return "Windows-1252";
  }
  return "?";
}

// Runs a write; when it changed the file's encoding (an 8-bit file that
// cannot hold the new text is rewritten as UTF-8, so that no character is
// lost), says so in one line on standard error. The write's result.
template <typename Write>
int32_t writeNotingEncoding(store::ProfileStore& store, const FileOperand& file, Write&& write) {
  const auto before = store.document(file.storeName());
  const int32_t done = write();
  const auto after = done != 0 && before ? store.document(file.storeName()) : nullptr;
  if (after && after->encoding() != before->encoding()) {
    std::cerr << kToolName << ": note: " << file.argument() << ": now "
              << nameOf(after->encoding()) << ", as its " << nameOf(before->encoding())
              << " cannot hold the new text\n";
  }
  return done;
}

Failure noSection(const FileOperand& file, const std::string& section) {
  return Failure(file.argument() + ": no section [" + section + "]");
}

Failure noKey(const FileOperand& file, const std::string& section, const std::string& key) {
  return Failure(file.argument() + ": no key '" + key + "' in section [" + section + "]");
}

// Every section once (the first of duplicate headers, as lookups see it).
std::vector<SectionListing> wholeFile(ProfileReader& reader) {
  std::vector<SectionListing> out;
  if (SectionListing outside = reader.listing(""); !outside.entries.empty()) {
    out.push_back(std::move(outside));
  }
  std::vector<std::string> seen;
  for (const std::string& name : reader.sectionNames()) {
    std::string folded = text::foldCase(name);
    if (std::find(seen.begin(), seen.end(), folded) != seen.end()) continue;
    seen.push_back(std::move(folded));
    out.push_back(reader.listing(name));
  }
  return out;
}

int runGet(const ParsedArgs& args) {
  const std::string* section = args.operand(1);
  const std::string* key = args.operand(2);
  if (args.has("--default") && key == nullptr) {
    throw UsageError("get", "get: --default needs a KEY");
  }
  if (args.has("--format") && key != nullptr) {
    throw UsageError("get", "get: --format is for a whole file or section, not a KEY");
  }
  const Format format = formatOf(args, "get");
  const FileOperand file(args.operands[0]);
  store::ProfileStore store(services::fileSystem(), services::newFileLineEnd());
  ProfileReader reader(store, file.storeName());
  const auto fallback = args.options.find("--default");
  // A missing file, section or key: the default, or a failure naming it.
  auto missing = [&](const Failure& failure) {
    if (fallback == args.options.end()) throw failure;
    print(fallback->second + "\n");
    return kExitOk;
  };
  if (!file.exists(store)) return missing(Failure(file.argument() + ": no such file"));
  if (section == nullptr) {
    if (format == Format::Lines) {
      printLines(reader.sectionNames());
    } else {
      print(formatSections(format, wholeFile(reader)));
    }
    return kExitOk;
  }
  if (!reader.hasSection(*section)) return missing(noSection(file, *section));
  if (key == nullptr) {
    if (format == Format::Lines) {
      printLines(reader.keys(*section));
    } else {
      print(formatSections(format, {reader.listing(*section)}));
    }
    return kExitOk;
  }
  const std::optional<std::string> value = reader.value(*section, *key);
  if (!value) return missing(noKey(file, *section, *key));
  print(*value + "\n");
  return kExitOk;
}

int runEntries(const ParsedArgs& args) {
  const Format format = formatOf(args, "entries");
  const FileOperand file(args.operands[0]);
  const std::string& section = args.operands[1];
  store::ProfileStore store(services::fileSystem(), services::newFileLineEnd());
  ProfileReader reader(store, file.storeName());
  file.requireExists(store);
  if (!reader.hasSection(section)) throw noSection(file, section);
  if (format == Format::Lines) {
    printLines(reader.entries(section));
  } else {
    print(formatSections(format, {reader.listing(section)}));
  }
  return kExitOk;
}

// The list rule of --list and --list-sep, or nullopt without --list;
// UsageError for --list-sep alone.
std::optional<ListValue> listRule(const ParsedArgs& args, const std::string& command) {
  const auto separator = args.options.find("--list-sep");
  if (!args.has("--list")) {
    if (separator != args.options.end()) {
      throw UsageError(command, command + ": --list-sep needs --list");
    }
    return std::nullopt;
  }
  if (separator == args.options.end()) return ListValue(std::nullopt);
  return ListValue(separator->second);
}

// One value written, or (nullopt) a key deleted, as the plan of a change
// the store makes under its lock; Failure naming the cause when the store
// would refuse the value (a list joined with a separator holding a line end).
store::EditPlan planValue(const FileOperand& file, const store::Document& doc,
                          std::string_view section, std::string_view key,
                          std::optional<std::string_view> value, const std::string& change) {
  const auto trimmed = value ? store::acceptableValue(*value) : std::nullopt;
  if (value && !trimmed) throw writeFailed(file, change, store::refusalOf({value}));
  const store::ValueWrite write{section, key, trimmed};
  return store::planWriteValues(doc, {&write, 1});
}

// Makes the planned change and reports it; Failure when the store refuses.
int change(const FileOperand& file, store::ProfileStore& store, const ChangeOptions& options,
           const ParsedArgs& args, std::string_view command, const std::string& description,
           const std::function<store::EditPlan(const store::Document&)>& planner) {
  bool changed = false;
  store::Status status = store::Status::Ok;
  if (writeNotingEncoding(store, file, [&] {
        return store.update(planner, file.storeName(), status, changed);
      }) == 0) {
    throw writeFailed(file, description, status);
  }
  // The library leaves making a change durable to the flush; a command
  // that ends with success has its change on disk.
  if (changed && !file.isPrivateCopy() && store.sync(file.storeName(), status) == 0) {
    throw Failure(file.argument() + ": the change is made but could not be synced to disk: " +
                  causeOf(status));
  }
  reportChange(options, args, command, changed);
  file.printResult();
  return kExitOk;
}

// The trimmed key, or Failure naming the cause the store would refuse it with.
std::string_view checkedKey(const FileOperand& file, const std::string& key,
                            const std::string& change) {
  const auto trimmed = store::acceptableKey(key);
  if (!trimmed) throw writeFailed(file, change, store::refusalOf({key}));
  return *trimmed;
}

int runSet(const ParsedArgs& args) {
  const ChangeOptions options = changeOptions(args, "set");
  const std::optional<ListValue> list = listRule(args, "set");
  const std::string& section = args.operands[1];
  const std::string* key = args.operand(2);
  const std::string value = args.operand(3) ? *args.operand(3) : std::string();
  if (list && key == nullptr) throw UsageError("set", "set: --list needs a KEY");
  const FileOperand file(args.operands[0], options.output);
  store::ProfileStore store(services::fileSystem(), services::newFileLineEnd());
  if (options.existing >= Existing::File) file.requireExists(store);
  const auto requireSection = [&](const store::Document& doc) {
    const int index = sectionIndex(doc, section);
    if (index == -1 && options.existing >= Existing::Section) throw noSection(file, section);
    return index;
  };
  if (key == nullptr) {
    const std::string what = "add [" + section + "]";
    if (!store::acceptableSection(section)) {
      throw writeFailed(file, what, store::refusalOf({section}));
    }
    return change(file, store, options, args, "set", what, [&](const store::Document& doc) {
      requireSection(doc);
      return store::planAddSection(doc, section);
    });
  }
  const std::string what = "set '" + *key + "' in [" + section + "]";
  if (!store::acceptableSection(section)) throw writeFailed(file, what, store::refusalOf({section}));
  const std::string_view name = checkedKey(file, *key, what);
  if (!store::acceptableValue(value)) throw writeFailed(file, what, store::refusalOf({value}));
  return change(file, store, options, args, "set", what, [&](const store::Document& doc) {
    const auto line = doc.findKey(requireSection(doc), name);
    if (!line && options.existing == Existing::All) throw noKey(file, section, *key);
    if (!list || !line) return planValue(file, doc, section, name, value, what);
    const auto added = list->added(store::stripQuotes(doc.value(*line)), value);
    if (!added) return store::EditPlan{};
    return planValue(file, doc, section, name, *added, what);
  });
}

int runDel(const ParsedArgs& args) {
  const ChangeOptions options = changeOptions(args, "del");
  const std::optional<ListValue> list = listRule(args, "del");
  const std::string& section = args.operands[1];
  const std::string* key = args.operand(2);
  const std::string* item = args.operand(3);
  if (item != nullptr && !list) throw UsageError("del", "del: ITEM needs --list");
  if (list && item == nullptr) throw UsageError("del", "del: --list needs a KEY and an ITEM");
  if (text::trimBlanks(section).empty() && key == nullptr) {
    throw Failure("the lines outside any section are no section to delete; give a KEY");
  }
  const FileOperand file(args.operands[0], options.output);
  store::ProfileStore store(services::fileSystem(), services::newFileLineEnd());
  // Nothing to delete in a file that is not there.
  if (!file.exists(store)) {
    if (options.existing >= Existing::File) file.requireExists(store);
    reportChange(options, args, "del", false);
    file.printResult();
    return kExitOk;
  }
  const std::string what =
      key ? "delete '" + *key + "' in [" + section + "]" : "delete [" + section + "]";
  if (!store::acceptableSection(section)) throw writeFailed(file, what, store::refusalOf({section}));
  const std::string_view name = key ? checkedKey(file, *key, what) : std::string_view();
  return change(file, store, options, args, "del", what, [&](const store::Document& doc) {
    const int index = sectionIndex(doc, section);
    if (index == -1 && options.existing >= Existing::Section) throw noSection(file, section);
    if (key == nullptr) return store::planDeleteSection(doc, section);
    const auto line = doc.findKey(index, name);
    if (!line && options.existing == Existing::All) throw noKey(file, section, *key);
    if (!list) return planValue(file, doc, section, name, std::nullopt, what);
    const auto removed =
        line ? list->removed(store::stripQuotes(doc.value(*line)), *item) : std::nullopt;
    if (!removed) return store::EditPlan{};
    return planValue(file, doc, section, name, *removed, what);
  });
}

// INI text in any encoding the store reads, parsed by the store's own
// reader: decoded to UTF-8 and given a leading "[]" header of its own, so
// that the lines before the text's first header form section 0.
std::shared_ptr<const store::Document> parseInput(const std::string& input) {
  const text::DetectedEncoding detected = text::detectEncoding(input);
  const std::string_view body = std::string_view(input).substr(detected.markLength);
  const std::string utf8 = detected.encoding == text::Encoding::Utf8 && detected.validUtf8
                               ? std::string(body)
                               : text::decodeToUtf8(detected.encoding, body);
  return store::Document::parse("[]\n" + utf8);
}

// Every entry of the parsed input with its section, or `into` when given;
// section 0's entries go outside any section (the empty name). Failure at a
// line that is no entry.
std::vector<store::ValueWrite> entriesToMerge(const store::Document& doc,
                                              const std::string* into) {
  std::vector<store::ValueWrite> writes;
  const auto take = [&](std::string_view section, const store::Line& line) {
    if (line.kind == store::LineKind::Bare) {
      throw Failure("standard input: '" + std::string(doc.text(line)) +
                    "' is no key=value entry");
    }
    if (line.kind == store::LineKind::Entry) {
      writes.push_back({into ? std::string_view(*into) : section, doc.name(line), doc.value(line)});
    }
  };
  for (int i = 0; i < doc.sectionCount(); ++i) {
    const std::string_view name = doc.sectionName(i);
    doc.forEachBodyLine(i, [&](const store::Line& line) { take(name, line); });
  }
  return writes;
}

int runMerge(const ParsedArgs& args) {
  if (args.operands[0] == "-") {
    throw UsageError("merge", "merge: FILE cannot be -: standard input holds the text to merge");
  }
  const ChangeOptions options = changeOptions(args, "merge");
  const FileOperand file(args.operands[0], options.output);
  const std::string input(std::istreambuf_iterator<char>(std::cin), {});
  if (std::cin.bad()) throw Failure("cannot read standard input");
  const std::shared_ptr<const store::Document> doc = parseInput(input);
  // The parsed text of a line ends at a NUL: a line "k=a<NUL>b" would store
  // k=a. Such input is refused whole, the file untouched.
  if (doc->raw().find('\0') != std::string::npos) {
    throw Failure("standard input holds a NUL character, which no entry can hold");
  }
  const std::vector<store::ValueWrite> writes = entriesToMerge(*doc, args.operand(1));
  const std::string what = "merge " + std::to_string(writes.size()) + " entries";
  store::Status status = store::Status::Ok;
  const auto accepted = store::acceptableWrites(writes, status);
  if (!accepted) throw writeFailed(file, what, status);
  store::ProfileStore store(services::fileSystem(), services::newFileLineEnd());
  if (options.existing >= Existing::File) file.requireExists(store);
  return change(file, store, options, args, "merge", what, [&](const store::Document& target) {
    std::vector<store::ValueWrite> kept;
    for (const store::ValueWrite& write : *accepted) {
      const int index = sectionIndex(target, write.section);
      if (index == -1 && options.existing == Existing::Section) {
        throw noSection(file, std::string(write.section));
      }
      if (options.existing == Existing::All && !target.findKey(index, write.key)) continue;
      kept.push_back(write);
    }
    return store::planWriteValues(target, kept);
  });
}

}  // namespace

std::vector<Command> storeCommands() {
  return {{&kGet, runGet},
          {&kSet, runSet},
          {&kDel, runDel},
          {&kEntries, runEntries},
          {&kMerge, runMerge}};
}

}  // namespace zidevuv10::cli
