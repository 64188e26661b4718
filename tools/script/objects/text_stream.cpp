// TextStream and its member table.
#include "objects/text_stream.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "objects/ansi_text.h"
#include "objects/host_files.h"
#include "objects/object_errors.h"
#include "typed_slot.h"
#include "zidevuv10/error.h"

namespace zidevuv10::script {

namespace {

using frame::method;
using frame::optional;
using frame::propGet;

constexpr std::size_t kChunk = 65536;

ClassInfo makeTextStreamClass() {
  return ClassInfo{u"TextStream",
                   u"0bb02ec0-ef49-11cf-8940-00a0c9054228",
                   u"53bad8c1-e718-11cf-893d-00a0c9054228",
                   {
                       propGet<&ScriptTextStream::Line>(u"Line", 1),
                       propGet<&ScriptTextStream::Column>(u"Column", 2),
                       propGet<&ScriptTextStream::AtEndOfStream, frame::Boolean>(u"AtEndOfStream", 3),
                       propGet<&ScriptTextStream::AtEndOfLine, frame::Boolean>(u"AtEndOfLine", 4),
                       method<&ScriptTextStream::Read>(u"Read", 5, u"Characters"),
                       method<&ScriptTextStream::ReadLine>(u"ReadLine", 6),
                       method<&ScriptTextStream::ReadAll>(u"ReadAll", 7),
                       method<&ScriptTextStream::Write>(u"Write", 8, u"Text"),
                       method<&ScriptTextStream::WriteLine>(u"WriteLine", 9, optional(u"Text")),
                       method<&ScriptTextStream::WriteBlankLines>(u"WriteBlankLines", 10, u"Lines"),
                       method<&ScriptTextStream::Skip>(u"Skip", 11, u"Characters"),
                       method<&ScriptTextStream::SkipLine>(u"SkipLine", 12),
                       method<&ScriptTextStream::Close>(u"Close", 13),
                   }};
}

std::string utf16Bytes(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

bool isLineEnd(char16_t c) { return c == u'\n' || c == u'\r'; }

// Writes with SIGPIPE held back for this thread, so a reader that has gone
// is an error (EPIPE) rather than the end of the process; a signal the
// write raised is taken back before the mask is restored.
void writeToPipe(int fd, std::string_view bytes, const std::string& path) {
  sigset_t pipeOnly, previous;
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
  struct Restore {
    sigset_t pipeOnly, previous;
    ~Restore() {
      const timespec none{0, 0};
      while (sigtimedwait(&pipeOnly, nullptr, &none) > 0) {
      }
      pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
  } restore{pipeOnly, previous};
  files::writeAll(fd, bytes, path);
}

}  // namespace

ScriptTextStream::ScriptTextStream(int fd, std::string hostPath, Mode mode, Format format)
    : fd_(fd), path_(std::move(hostPath)), mode_(mode), format_(format) {}

ScriptTextStream::ScriptTextStream(std::istream* input) : input_(input), mode_(Mode::Reading) {
  inputDone_ = input == nullptr;
}

ScriptTextStream::ScriptTextStream(std::shared_ptr<OutputSink> sink, std::ostream* OutputSink::*stream)
    : sink_(std::move(sink)), stream_(stream), mode_(Mode::Writing), lineEnd_(u"\n") {}

ScriptTextStream::~ScriptTextStream() {
  if (fd_ >= 0) ::close(fd_);
}

const ClassInfo* ScriptTextStream::classInfo() const {
  static const ClassInfo info = makeTextStreamClass();
  return &info;
}

void ScriptTextStream::requireReading() {
  if (closed_) raiseObjectError(err::kBadFileNameOrNumber);
  if (mode_ != Mode::Reading) raiseObjectError(err::kBadFileMode);
}

void ScriptTextStream::requireWriting() {
  if (closed_) raiseObjectError(err::kBadFileNameOrNumber);
  if (mode_ == Mode::Reading) raiseObjectError(err::kBadFileMode);
}

bool ScriptTextStream::fill() {
  while (!inputDone_) {
    char chunk[kChunk];
    std::size_t got = 0;
    if (input_ != nullptr) {
      // A line at a time: a terminal's reader waits for no more than it
      // needs, and InputBox reads on from the next line.
      std::string line;
      if (std::getline(*input_, line)) {
        if (!input_->eof()) line += '\n';
        pending_ += line;
      } else {
        inputDone_ = true;
      }
    } else {
      const ssize_t n = ::read(fd_, chunk, sizeof chunk);
      if (n < 0) {
        if (errno == EINTR) continue;
        files::raiseFor(errno, path_, files::Kind::File);
      }
      got = static_cast<std::size_t>(n);
      if (n == 0) inputDone_ = true;
    }
    pending_.append(chunk, got);
    if (!started_ && (pending_.size() >= 3 || inputDone_)) {
      started_ = true;
      // A byte order mark is no part of the text.
      const std::string_view utf16Mark("\xFF\xFE", 2), utf8Mark("\xEF\xBB\xBF", 3);
      if (format_ == Format::Unicode && pending_.starts_with(utf16Mark)) pending_.erase(0, 2);
      if (format_ == Format::Ascii && pending_.starts_with(utf8Mark)) pending_.erase(0, 3);
    }
    if (!started_) continue;
    const std::size_t before = buffer_.size();
    if (format_ == Format::Unicode) {
      std::size_t i = 0;
      for (; i + 1 < pending_.size(); i += 2) {
        buffer_ += static_cast<char16_t>(static_cast<unsigned char>(pending_[i]) |
                                         (static_cast<unsigned char>(pending_[i + 1]) << 8));
      }
      // A lone last byte of a file is a character of its own.
      if (inputDone_ && i < pending_.size()) buffer_ += static_cast<char16_t>(static_cast<unsigned char>(pending_[i++]));
      pending_.erase(0, i);
    } else {
      pending_.erase(0, decodeAnsi(pending_, inputDone_, buffer_));
    }
    if (buffer_.size() > before) return true;
  }
  return false;
}

bool ScriptTextStream::atEnd() {
  if (position_ < buffer_.size()) return false;
  buffer_.clear();
  position_ = 0;
  return !fill();
}

void ScriptTextStream::count(std::u16string_view text) {
  for (const char16_t c : text) {
    if (c == u'\n') {
      if (!afterCr_) ++line_;
      column_ = 1;
    } else if (c == u'\r') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
    afterCr_ = c == u'\r';
  }
}

std::u16string ScriptTextStream::take(std::size_t n) {
  std::u16string out;
  while (out.size() < n && !atEnd()) {
    const std::size_t k = std::min(n - out.size(), buffer_.size() - position_);
    out.append(buffer_, position_, k);
    position_ += k;
  }
  count(out);
  return out;
}

Text ScriptTextStream::ReadLine() {
  requireReading();
  if (atEnd()) raiseObjectError(err::kInputPastEnd);
  std::u16string line;
  while (!atEnd()) {
    const char16_t c = buffer_[position_];
    if (isLineEnd(c)) {
      take(1);
      if (c == u'\r' && !atEnd() && buffer_[position_] == u'\n') take(1);
      break;
    }
    const std::size_t end = std::min(buffer_.find_first_of(u"\r\n", position_), buffer_.size());
    line += take(end - position_);
  }
  return Text(std::move(line));
}

Text ScriptTextStream::Read(int32_t characters) {
  requireReading();
  if (characters < 0) raiseObjectError(err::kInvalidCall);
  if (characters > 0 && atEnd()) raiseObjectError(err::kInputPastEnd);
  return Text(take(static_cast<std::size_t>(characters)));
}

Text ScriptTextStream::ReadAll() {
  requireReading();
  if (atEnd()) raiseObjectError(err::kInputPastEnd);
  return Text(take(std::u16string::npos));
}

void ScriptTextStream::Skip(int32_t characters) {
  Read(characters);
}

void ScriptTextStream::SkipLine() { ReadLine(); }

int16_t ScriptTextStream::AtEndOfStream() {
  requireReading();
  return atEnd() ? -1 : 0;
}

int16_t ScriptTextStream::AtEndOfLine() {
  requireReading();
  return atEnd() || isLineEnd(buffer_[position_]) ? -1 : 0;
}

void ScriptTextStream::emit(std::u16string_view text) {
  requireWriting();
  if (stream_ != nullptr) {
    if (std::ostream* out = (*sink_).*stream_; out != nullptr) *out << Text(std::u16string(text)).utf8();
  } else {
    const bool unicode = format_ == Format::Unicode;
    const std::string bytes = unicode ? utf16Bytes(text) : Text(std::u16string(text)).utf8();
    if (pipe_) {
      writeToPipe(fd_, bytes, path_);
    } else {
      files::writeAll(fd_, bytes, path_);
    }
  }
  count(text);
}

void ScriptTextStream::Write(const Text& text) { emit(text.str()); }

void ScriptTextStream::WriteLine(const Variant& text) {
  std::u16string line = text.isMissing() ? std::u16string() : text.toText().str();
  emit(line + lineEnd_);
}

void ScriptTextStream::WriteBlankLines(int32_t lines) {
  if (lines < 0) raiseObjectError(err::kInvalidCall);
  std::u16string ends;
  for (int32_t i = 0; i < lines; ++i) ends += lineEnd_;
  emit(ends);
}

void ScriptTextStream::Close() {
  if (closed_) return;
  closed_ = true;
  if (fd_ >= 0) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) files::raiseFor(errno, path_, files::Kind::File);
  }
}

}  // namespace zidevuv10::script

namespace zidevuv10::script {

namespace {

ScriptTextStream::Format formatOf(int32_t format) {
  if (format == -1) return ScriptTextStream::Format::Unicode;
  if (format == 0 || format == -2) return ScriptTextStream::Format::Ascii;
  raiseObjectError(err::kInvalidCall);
}

// A Unicode file that is empty starts with the byte order mark.
void markUnicode(int fd, const std::string& hostPath) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) files::raiseFor(errno, hostPath, files::Kind::File);
  if (st.st_size == 0) files::writeAll(fd, std::string_view("\xFF\xFE", 2), hostPath);
}

Ref<ScriptTextStream> streamOf(int fd, const std::string& hostPath, ScriptTextStream::Mode mode,
                               ScriptTextStream::Format format) {
  try {
    if (format == ScriptTextStream::Format::Unicode && mode != ScriptTextStream::Mode::Reading) {
      markUnicode(fd, hostPath);
    }
    return makeObject<ScriptTextStream>(fd, hostPath, mode, format);
  } catch (...) {
    ::close(fd);
    throw;
  }
}

}  // namespace

Ref<ScriptTextStream> openTextFile(const std::string& hostPath, int32_t ioMode, bool create, int32_t format) {
  using Mode = ScriptTextStream::Mode;
  const ScriptTextStream::Format f = formatOf(format);
  const int made = create ? O_CREAT : 0;
  switch (ioMode) {
    case 1: {
      // Create makes a missing file even for reading, as the runtime does.
      if (create && !files::isFile(hostPath)) ::close(files::openForWriting(hostPath, O_WRONLY | O_CREAT));
      return streamOf(files::openForReading(hostPath), hostPath, Mode::Reading, f);
    }
    case 2: return streamOf(files::openForWriting(hostPath, O_WRONLY | O_TRUNC | made), hostPath, Mode::Writing, f);
    case 8: return streamOf(files::openForWriting(hostPath, O_WRONLY | O_APPEND | made), hostPath, Mode::Appending, f);
    default: raiseObjectError(err::kInvalidCall);
  }
}

Ref<ScriptTextStream> createTextFile(const std::string& hostPath, bool overwrite, bool unicode) {
  const int flags = O_WRONLY | O_CREAT | O_TRUNC | (overwrite ? 0 : O_EXCL);
  return streamOf(files::openForWriting(hostPath, flags), hostPath, ScriptTextStream::Mode::Writing,
                  unicode ? ScriptTextStream::Format::Unicode : ScriptTextStream::Format::Ascii);
}

}  // namespace zidevuv10::script
