#include "runtime/file_services.h"

#include "services/services.h"
#include "runtime/current_folder.h"
#include "runtime/dir.h"
#include "runtime/input_files.h"
#include "zidevuv10/error.h"

namespace zidevuv10::frame {

namespace {

void check(int error) {
  if (error != 0) raiseError(error);
}

}  // namespace

Text dir(const Text& pattern, int32_t attributes) {
  const runtime::DirResult r = runtime::findFirst(*services::fileSystem(), pattern.utf8(), attributes);
  check(r.error);
  return Text::fromUtf8(r.name);
}

Text curDir(const Text& drive) {
  std::optional<char> letter;
  if (!drive.str().empty()) {
    const char16_t c = drive.str().front();
    letter = c < 0x80 ? static_cast<char>(c) : '?';
  }
  const runtime::CurDirResult r = runtime::currentFolder(*services::fileSystem(), letter);
  check(r.error);
  return Text::fromUtf8(r.path);
}

int32_t freeFile() {
  const int n = runtime::InputFiles::forThread().freeFile();
  if (n == 0) raiseError(err::kTooManyFiles);
  return n;
}

void openForInput(int32_t number, const Text& path) {
  check(runtime::InputFiles::forThread().open(*services::fileSystem(), number, path.utf8()));
}

bool endOfFile(int32_t number) {
  int error = 0;
  const bool eof = runtime::InputFiles::forThread().eof(number, error);
  check(error);
  return eof;
}

Text lineInput(int32_t number) {
  std::string line;
  check(runtime::InputFiles::forThread().readLine(number, line));
  return Text::fromUtf8(line);
}

void closeFile(int32_t number) { runtime::InputFiles::forThread().close(number); }

}  // namespace zidevuv10::frame
