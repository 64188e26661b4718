// The FILE operand of the store commands: a host path (relative ones, bare
// names too, start in the current folder), a Windows path ("C:\...",
// ".\app.ini", "..\app.ini") mapped as the library maps it, or "-" for
// standard input. Standard input is copied into a file of a private temporary folder,
// so that the store reads and changes it with all its own rules and
// encodings; a command that changes it prints the result.
// Main thread of the tool only: it reads standard input and reads TMPDIR
// from the environment.
#pragma once

#include <string>

#include "store/profile_store.h"

namespace zidevuv10::cli {

class FileOperand {
 public:
  // Failure when the name cannot reach a file (see storePath) or standard
  // input cannot be read or copied.
  explicit FileOperand(const std::string& argument);
  ~FileOperand();
  FileOperand(const FileOperand&) = delete;
  FileOperand& operator=(const FileOperand&) = delete;

  // The name as given, for messages ("standard input" for "-").
  const std::string& argument() const { return argument_; }
  // The name handed to the store.
  const std::string& storeName() const { return storeName_; }
  // The host file the store reaches under that name.
  const std::string& hostPath() const { return hostPath_; }
  bool isStandardInput() const { return !privateFolder_.empty(); }

  // Whether the store finds the file; Failure naming the cause when it
  // cannot read it (a folder, no permission, ...).
  bool exists(store::ProfileStore& store) const;
  // Failure naming the file unless it exists.
  void requireExists(store::ProfileStore& store) const;
  // For standard input: prints the (changed) copy on standard output.
  void printResult() const;

 private:
  std::string argument_;
  std::string storeName_;
  std::string hostPath_;
  std::string privateFolder_;
};

}  // namespace zidevuv10::cli
