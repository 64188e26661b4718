#include "file_operand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>

#include "command_line.h"
#include "host_files.h"
#include "paths/host_path.h"
#include "paths/path_map.h"
#include "services/services.h"
#include "store/atomic_file.h"
#include "store/side_files.h"
#include "store/write_lock.h"
#include "store_failure.h"

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

// The name the store reaches a FILE argument by, and the host file behind it.
struct NamedFile {
  std::string storeName;
  std::string hostPath;
};

NamedFile nameFile(const std::string& argument) {
  if (isWindowsPath(argument)) {
    const auto mapped = paths::resolveProfileFile(*services::fileSystem(), argument);
    if (!mapped) throw Failure(argument + ": the drive has no host folder");
    return {argument, mapped->path};
  }
  const std::string path = storePath(argument);
  return {path, path};
}

// A whole file's bytes; Failure naming `what` on an error.
std::string readWhole(const std::string& path, const std::string& what) {
  fs::FileSystem& fs = *services::fileSystem();
  const int fd = fs.open(path, O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) throw Failure("cannot read " + what + ": " + errorText(-fd));
  std::string text;
  const int read = fs::readAll(fs, fd, text);
  fs.close(fd);
  if (read != 0) throw Failure("cannot read " + what + ": " + errorText(-read));
  return text;
}

// Replaces the output file with the bytes as the store replaces a settings
// file: under its writers' lock, atomically and durably, keeping
// the old file's owner and permissions.
void replaceOutput(const std::string& argument, const std::string& bytes) {
  fs::FileSystem& fs = *services::fileSystem();
  const auto fail = [&](int rc) {
    return Failure(argument + ": cannot write the output: " + errorText(-rc));
  };
  std::string target;
  if (const int rc = store::resolveWriteTarget(fs, nameFile(argument).hostPath, target); rc != 0) {
    throw fail(rc);
  }
  store::WriteLock lock;
  if (const int rc = lock.acquire(fs, target); rc != 0) throw fail(rc);
  struct stat st {};
  const int found = fs.lstat(target, st);
  if (found != 0 && found != -ENOENT) throw fail(found);
  const std::string old = found == 0 ? readWhole(target, argument) : std::string();
  store::SideContext ctx;
  if (const int rc = store::sideContextOf(fs, target, ctx); rc != 0) throw fail(rc);
  if (const int rc = store::replaceFile(fs, target, bytes, old, found == 0 ? &st : nullptr, ctx);
      rc != 0) {
    throw fail(rc);
  }
  // On disk before the command reports success, as a changed file is.
  if (const int rc = store::syncFileAndFolder(fs, target); rc != 0) throw fail(rc);
}

}  // namespace

FileOperand::FileOperand(const std::string& argument, std::optional<std::string> output)
    : argument_(argument), output_(std::move(output)) {
  if (argument == "-") {
    argument_ = kStandardInput;
    const std::string text(std::istreambuf_iterator<char>(std::cin), {});
    if (std::cin.bad()) throw Failure("cannot read standard input");
    makePrivateFolder();
    writeCopy(text);
    return;
  }
  storeName_ = nameFile(argument).storeName;
  if (!output_) return;
  // The file as the store finds it (also by a name differing in case); a
  // missing one leaves no copy, as a command on the file itself finds none.
  store::ProfileStore store(services::fileSystem());
  const bool found = exists(store);
  const std::shared_ptr<const store::Document> doc = store.document(storeName_);
  if (found && !doc) throw Failure(argument_ + ": cannot read it");
  makePrivateFolder();
  if (found) writeCopy(std::string(doc->raw()));
}

void FileOperand::makePrivateFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/zidevuv10-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) {
    throw Failure("cannot make a private temporary folder for " + argument_ + ": " +
                  errorText(errno));
  }
  privateFolder_ = folder;
  storeName_ = folder + kCopyName;
}

void FileOperand::writeCopy(const std::string& text) {
  const int fd = ::open(storeName_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) throw Failure("cannot copy " + argument_ + ": " + errorText(errno));
  const int written = fs::writeAll(*services::fileSystem(), fd, text.data(), text.size());
  ::close(fd);
  if (written != 0) throw Failure("cannot copy " + argument_ + ": " + errorText(-written));
}

FileOperand::~FileOperand() {
  if (privateFolder_.empty()) return;
  ::unlink(storeName_.c_str());
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
  struct stat st {};
  const std::string text =
      ::stat(storeName_.c_str(), &st) == 0 ? readWhole(storeName_, "the result back") : "";
  if (output_ && *output_ != "-") {
    replaceOutput(*output_, text);
    return;
  }
  std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace zidevuv10::cli
