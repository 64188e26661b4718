// TextStream: a file opened by the FileSystemObject for reading, writing
// or appending, or one of the run's standard streams (WScript.StdIn,
// StdOut, StdErr). Reading decodes as the stream's format says: ASCII
// (TristateFalse, and TristateUseDefault) takes each valid UTF-8 sequence as
// its character and any other byte as its Windows-1252 character, Unicode
// (TristateTrue) is UTF-16 little-endian after an optional byte order mark.
// Writing encodes ASCII as UTF-8 and Unicode as UTF-16 little-endian. A
// line ends at LF, CR LF or CR; WriteLine ends file lines with CR LF, as
// the runtime does, and standard output's with LF, as Echo does.
// Writes reach the file (or stream) at once; nothing waits for Close.
// Apartment rule: used by the thread of the run that made it.
#pragma once

#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "host_objects.h"

namespace zidevuv10::script {

class ScriptTextStream final : public HostObject {
 public:
  enum class Mode { Reading = 1, Writing = 2, Appending = 8 };
  enum class Format { Ascii, Unicode };

  // A file the stream owns (closed with it); `hostPath` names it in errors.
  ScriptTextStream(int fd, std::string hostPath, Mode mode, Format format);
  // Standard input (null: nothing to read).
  explicit ScriptTextStream(std::istream* input);
  // Standard output or error: writes go to sink->*stream while the run lasts.
  ScriptTextStream(std::shared_ptr<OutputSink> sink, std::ostream* OutputSink::*stream);
  ~ScriptTextStream() override;
  // The stream writes into a pipe to a program: lines end with LF, and a
  // program that has gone is error 57, never a signal that ends the host.
  void toPipe() {
    pipe_ = true;
    lineEnd_ = u"\n";
  }

  const ClassInfo* classInfo() const override;
  std::u16string typeName() const override { return u"TextStream"; }

  // Members. Reading past the end is error 62; reading a stream opened for
  // writing, or writing one opened for reading, is 54.
  Text ReadLine();
  Text Read(int32_t characters);
  Text ReadAll();
  void Skip(int32_t characters);
  void SkipLine();
  int16_t AtEndOfStream();
  int16_t AtEndOfLine();
  int32_t Line() const { return line_; }
  int32_t Column() const { return column_; }
  void Write(const Text& text);
  void WriteLine(const Variant& text);
  void WriteBlankLines(int32_t lines);
  void Close();

 private:
  void requireReading();
  void requireWriting();
  // Decodes more input into buffer_; false at the end.
  bool fill();
  bool atEnd();
  // Takes `count` characters from the buffer, counting lines and columns.
  std::u16string take(std::size_t count);
  void count(std::u16string_view text);
  void emit(std::u16string_view text);

  int fd_ = -1;
  std::string path_;
  std::istream* input_ = nullptr;
  std::shared_ptr<OutputSink> sink_;
  std::ostream* OutputSink::*stream_ = nullptr;
  Mode mode_;
  Format format_ = Format::Ascii;
  std::u16string lineEnd_ = u"\r\n";
  bool closed_ = false;
  bool pipe_ = false;
  bool started_ = false;     // the first bytes (a byte order mark) were looked at
  std::string pending_;      // bytes read but not yet decoded
  bool inputDone_ = false;
  std::u16string buffer_;
  std::size_t position_ = 0;  // next character of buffer_
  int32_t line_ = 1;
  int32_t column_ = 1;
  bool afterCr_ = false;      // the last character counted was a CR
};

}  // namespace zidevuv10::script

namespace zidevuv10::script {

// A file opened as OpenTextFile opens it: iomode 1 (ForReading), 2
// (ForWriting, emptied first) or 8 (ForAppending); `create` makes a missing
// file (else error 53); format -2 (TristateUseDefault) or 0 (TristateFalse)
// ASCII, -1 (TristateTrue) Unicode, which starts a new or emptied file with
// a byte order mark. Another iomode or format is error 5.
Ref<ScriptTextStream> openTextFile(const std::string& hostPath, int32_t ioMode, bool create, int32_t format);
// A file made as CreateTextFile makes it: an existing one is emptied, or
// with `overwrite` False error 58.
Ref<ScriptTextStream> createTextFile(const std::string& hostPath, bool overwrite, bool unicode);

}  // namespace zidevuv10::script
