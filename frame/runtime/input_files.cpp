#include "runtime/input_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>

#include "paths/drives.h"
#include "paths/host_path.h"
#include "paths/path_map.h"
#include "text/encoding.h"
#include "zidevuv10/error.h"

namespace zidevuv10::runtime {

namespace {

// A missing file is "file not found" when its folder exists and "path not
// found" when the folder does not.
int missingFileError(fs::FileSystem& fs, const std::string& hostPath) {
  const std::string folder = paths::folderOf(hostPath);
  struct stat st {};
  return fs.stat(folder, st) == 0 && S_ISDIR(st.st_mode) ? err::kFileNotFound : err::kPathNotFound;
}

int errorFromErrno(fs::FileSystem& fs, const std::string& hostPath, int err) {
  switch (err) {
    case ENOENT:
      return missingFileError(fs, hostPath);
    case ENOTDIR:
      return err::kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return err::kPathFileAccess;
    case EMFILE:
    case ENFILE:
      return err::kTooManyFiles;
    default:
      return err::kDeviceIoError;
  }
}

// The file's bytes as UTF-8 text, byte-order mark removed.
std::string decode(const std::string& raw) {
  const text::DetectedEncoding detected = text::detectEncoding(raw);
  const std::string_view body = std::string_view(raw).substr(detected.markLength);
  if (detected.encoding == text::Encoding::Utf8 && detected.validUtf8) return std::string(body);
  return text::decodeToUtf8(detected.encoding, body);
}

bool validNumber(int number) { return number >= 1 && number <= InputFiles::kMaxFiles; }

std::size_t slot(int number) { return static_cast<std::size_t>(number - 1); }

}  // namespace

InputFiles::InputFiles() = default;
InputFiles::~InputFiles() = default;

InputFiles& InputFiles::forThread() {
  thread_local InputFiles table;
  return table;
}

int InputFiles::freeFile() const {
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (!files_[i]) return static_cast<int>(i + 1);
  }
  return 0;
}

const InputFiles::OpenFile* InputFiles::find(int number) const {
  return validNumber(number) ? files_[slot(number)].get() : nullptr;
}

int InputFiles::open(fs::FileSystem& fs, int number, std::string_view path) {
  if (!validNumber(number)) return err::kBadFileNameOrNumber;
  if (files_[slot(number)]) return err::kFileAlreadyOpen;
  if (path.empty()) return err::kPathFileAccess;
  // A NUL cannot be part of a name ("Bad file name or number").
  if (path.find('\0') != std::string_view::npos) return err::kBadFileNameOrNumber;
  if (paths::startsWithDrive(path) && !paths::driveFolder(path[0])) return err::kDeviceUnavailable;
  const auto resolved = paths::resolvePath(fs, path);
  // With the drive mapped, only a path naming a folder (a root, "..") is left.
  if (!resolved) return err::kPathFileAccess;
  const std::string& hostPath = resolved->path;

  const int fd = fs.open(hostPath, O_RDONLY, 0);
  if (fd < 0) return errorFromErrno(fs, hostPath, -fd);
  // Opening a folder read-only succeeds on Linux; it is still not a file.
  struct stat st {};
  int rc = fs.fstat(fd, st);
  if (rc == 0 && S_ISDIR(st.st_mode)) rc = -EISDIR;
  std::string raw;
  if (rc == 0) {
    rc = fs::readAll(fs, fd, raw, S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0);
  }
  fs.close(fd);
  if (rc != 0) return errorFromErrno(fs, hostPath, -rc);

  auto file = std::make_unique<OpenFile>();
  file->text = decode(raw);
  files_[slot(number)] = std::move(file);
  return 0;
}

bool InputFiles::eof(int number, int& error) const {
  const OpenFile* file = find(number);
  if (file == nullptr) {
    error = err::kBadFileNameOrNumber;
    return true;
  }
  error = 0;
  return file->next >= file->text.size();
}

int InputFiles::readLine(int number, std::string& line) {
  if (!validNumber(number) || !files_[slot(number)]) return err::kBadFileNameOrNumber;
  OpenFile& file = *files_[slot(number)];
  const std::string& t = file.text;
  if (file.next >= t.size()) return err::kInputPastEnd;
  std::size_t end = t.find_first_of("\r\n", file.next);
  if (end == std::string::npos) end = t.size();
  line.assign(t, file.next, end - file.next);
  std::size_t next = end;
  if (end < t.size()) {
    next = end + 1;
    if (t[end] == '\r' && next < t.size() && t[next] == '\n') ++next;
  }
  file.next = next;
  return 0;
}

void InputFiles::close(int number) {
  if (validNumber(number)) files_[slot(number)].reset();
}

void InputFiles::closeAll() {
  for (auto& file : files_) file.reset();
}

}  // namespace zidevuv10::runtime
