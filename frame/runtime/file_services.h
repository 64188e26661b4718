// Folder lookups and sequential file input as the classes call them, with
// the runtime's errors raised: Dir, CurDir, FreeFile, Open For Input, EOF,
// Line Input and Close over the platform's path mapping.
//
// File numbers belong to the calling thread.
#pragma once

#include <cstdint>
#include <optional>

#include "zidevuv10/text.h"

namespace zidevuv10::frame {

// Dir attribute masks the classes use: files only, or also folders and hidden entries.
inline constexpr int32_t kDirFiles = 0;
inline constexpr int32_t kDirAll = 22;

// The first match's name as the file system spells it, or empty text.
Text dir(const Text& pattern, int32_t attributes);
// The current folder of the current drive, or of the drive named by the
// first character of `drive`.
Text curDir(const Text& drive = Text());

int32_t freeFile();
void openForInput(int32_t number, const Text& path);
bool endOfFile(int32_t number);
Text lineInput(int32_t number);
void closeFile(int32_t number);

}  // namespace zidevuv10::frame
