#include "file_operand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>

#include "command_line.h"
#include "host_files.h"
#include "store_failure.h"
#include "paths/path_map.h"
#include "services/services.h"

namespace zidevuv10::cli {

namespace {

constexpr const char* kCopyName = "/standard-input.ini";

// "C:\...", ".\..." and "..\..." name a file as a Windows program names it
// (the last two in the current folder).
bool isWindowsPath(const std::string& name) {
  if (name.starts_with(".\\") || name.starts_with("..\\")) return true;
  return name.size() >= 3 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':' &&
         name[2] == '\\';
}

std::string errorText(int error) { return std::strerror(error); }

}  // namespace

FileOperand::FileOperand(const std::string& argument) : argument_(argument) {
  if (argument == "-") {
    argument_ = "standard input";
    const char* tmp = std::getenv("TMPDIR");
    std::string folder =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zidevuv10-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
      throw Failure("cannot make a private temporary folder for standard input: " +
                    errorText(errno));
    }
    privateFolder_ = folder;
    storeName_ = hostPath_ = folder + kCopyName;
    const std::string text(std::istreambuf_iterator<char>(std::cin), {});
    if (std::cin.bad()) throw Failure("cannot read standard input");
    const int fd = ::open(hostPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) throw Failure("cannot copy standard input: " + errorText(errno));
    const int written = fs::writeAll(*services::fileSystem(), fd, text.data(), text.size());
    ::close(fd);
    if (written != 0) throw Failure("cannot copy standard input: " + errorText(-written));
    return;
  }
  if (isWindowsPath(argument)) {
    storeName_ = argument;
    const auto mapped = paths::resolveProfileFile(*services::fileSystem(), argument);
    if (!mapped) throw Failure(argument + ": the drive has no host folder");
    hostPath_ = mapped->path;
    return;
  }
  storeName_ = hostPath_ = storePath(argument);
}

FileOperand::~FileOperand() {
  if (privateFolder_.empty()) return;
  ::unlink(hostPath_.c_str());
  ::rmdir(privateFolder_.c_str());
}

bool FileOperand::exists(store::ProfileStore& store) const {
  // The store's own read says whether it finds the file (also by a name
  // differing in case) and, when it cannot read it, why.
  store::Status status = store::Status::Ok;
  store.readSectionNames(storeName_, status);
  if (status == store::Status::FileNotFound) return false;
  if (status != store::Status::Ok) throw Failure(argument_ + ": " + causeOf(status));
  return true;
}

void FileOperand::requireExists(store::ProfileStore& store) const {
  if (!exists(store)) throw Failure(argument_ + ": no such file");
}

void FileOperand::printResult() const {
  if (privateFolder_.empty()) return;
  std::string text;
  const int fd = ::open(hostPath_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Failure("cannot read the result back: " + errorText(errno));
  const int read = fs::readAll(*services::fileSystem(), fd, text);
  ::close(fd);
  if (read != 0) throw Failure("cannot read the result back: " + errorText(-read));
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace zidevuv10::cli
