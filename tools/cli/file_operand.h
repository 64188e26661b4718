// The FILE operand of the store commands: a host path (relative ones, bare
// names too, start in the current folder), a Windows path ("C:\...",
// ".\app.ini", "..\app.ini") mapped as the library maps it, or "-" for
// standard input. Standard input is copied into a file of a private temporary folder,
// so that the store reads and changes it with all its own rules and
// encodings; a command that changes it prints the result. With --output the
// file named is copied there the same way and left alone, and the result
// goes to the output.
// Main thread of the tool only: it reads standard input and reads TMPDIR
// from the environment.
#pragma once

#include <optional>
#include <string>

#include "store/profile_store.h"

namespace zidevuv10::cli {

class FileOperand {
 public:
  // `output`: where printResult puts the result (a file, "-" for standard
  // output), nullopt for the file itself. Failure when a name cannot reach
  // a file (see storePath), the file cannot be read, or standard input
  // cannot be read or copied.
  explicit FileOperand(const std::string& argument,
                       std::optional<std::string> output = std::nullopt);
  ~FileOperand();
  FileOperand(const FileOperand&) = delete;
  FileOperand& operator=(const FileOperand&) = delete;

  // The name as given, for messages ("standard input" for "-").
  const std::string& argument() const { return argument_; }
  // The name handed to the store.
  const std::string& storeName() const { return storeName_; }
  bool isStandardInput() const { return argument_ == kStandardInput; }
  // Whether the store works on a private copy (standard input, --output)
  // rather than on the file named.
  bool isPrivateCopy() const { return !privateFolder_.empty(); }

  // Whether the store finds the file; Failure naming the cause when it
  // cannot read it (a folder, no permission, ...).
  bool exists(store::ProfileStore& store) const;
  // Failure naming the file unless it exists.
  void requireExists(store::ProfileStore& store) const;
  // For standard input or an output: the (changed) copy, on standard output
  // or replacing the output file atomically (an empty file when the command
  // left no file).
  void printResult() const;

 private:
  static constexpr const char* kStandardInput = "standard input";

  // The private folder, and the copy in it holding `text`.
  void makePrivateFolder();
  void writeCopy(const std::string& text);

  std::string argument_;
  std::string storeName_;
  std::string privateFolder_;
  std::optional<std::string> output_;
};

}  // namespace zidevuv10::cli
