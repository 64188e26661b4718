// Host services a client can replace: the message box the library shows
// (a settings object refusing an unregistered section), the screen whose
// size window placement fits into and a note on files named by a bare
// name; plus calls by name on any object.
//
// The handler and provider are process-wide; installing them is safe from
// any thread, and each call uses the one installed when it starts.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "zidevuv10/export.h"
#include "zidevuv10/object.h"
#include "zidevuv10/text.h"
#include "zidevuv10/variant.h"

namespace zidevuv10 {

// Shows a message; returns the button pressed (1 for OK). The default
// handler writes one line, "title: prompt", to standard error and returns 1.
using MessageBoxHandler =
    std::function<int32_t(const Text& prompt, int32_t style, const Text& title)>;
// Installs a handler (an empty one restores the default); returns the previous one.
ZIDEVUV10_API MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);
ZIDEVUV10_API int32_t showMessageBox(const Text& prompt, int32_t style, const Text& title);

struct ScreenMetrics {
  int32_t widthPixels = 1920;
  int32_t heightPixels = 1080;
  int32_t twipsPerPixelX = 15;
  int32_t twipsPerPixelY = 15;
  // Screen size in twips.
  int32_t width() const { return widthPixels * twipsPerPixelX; }
  int32_t height() const { return heightPixels * twipsPerPixelY; }
};
using ScreenProvider = std::function<ScreenMetrics()>;
// Installs a provider (an empty one restores the default 1920 x 1080 pixels
// at 15 twips per pixel); returns the previous one.
ZIDEVUV10_API ScreenProvider setScreenProvider(ScreenProvider provider);
ZIDEVUV10_API ScreenMetrics screenMetrics();

// Called when the library reads or writes a file named by a bare name (no
// folder, no drive), which Windows' rule puts in the Windows directory: the
// name, its Windows path and the host path it reaches, in UTF-8. For a host
// whose users expect the current folder; by default nothing is called.
using BareFileNameHandler = std::function<void(
    std::string_view name, std::string_view windowsPath, std::string_view hostPath)>;
// Installs a handler (an empty one for none); returns the previous one.
ZIDEVUV10_API BareFileNameHandler setBareFileNameHandler(BareFileNameHandler handler);

// Calls a member of an object by name: error 91 on no object, 438 when the
// object lacks the member.
ZIDEVUV10_API Variant callByName(const ObjectRef& object, std::u16string_view member,
                                 InvokeKind kind, std::span<Variant> args = {});

}  // namespace zidevuv10
