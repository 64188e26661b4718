// The message-box handler, the screen provider and the bare file name
// handler, replaceable by clients.
#include <cstdio>
#include <mutex>
#include <string>

#include "paths/drives.h"
#include "services/services.h"
#include "sync/fork_safe_mutex.h"
#include "zidevuv10/host.h"

namespace zidevuv10 {

namespace {

sync::ForkSafeMutex& servicesMutex() {
  static sync::ForkSafeMutex m;
  return m;
}

MessageBoxHandler& installedHandler() {
  static MessageBoxHandler handler;
  return handler;
}

ScreenProvider& installedProvider() {
  static ScreenProvider provider;
  return provider;
}

BareFileNameHandler& installedBareNameHandler() {
  static BareFileNameHandler handler;
  return handler;
}

}  // namespace

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard<sync::ForkSafeMutex> lock(servicesMutex());
  return std::exchange(installedHandler(), std::move(handler));
}

int32_t showMessageBox(const Text& prompt, int32_t style, const Text& title) {
  MessageBoxHandler handler;
  {
    std::lock_guard<sync::ForkSafeMutex> lock(servicesMutex());
    handler = installedHandler();
  }
  if (handler) return handler(prompt, style, title);
  // stdio rather than iostreams: <iostream> would set up the C++ streams in
  // every process that loads the library, before its first call.
  const std::string line = title.utf8() + ": " + prompt.utf8() + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  return 1;
}

ScreenProvider setScreenProvider(ScreenProvider provider) {
  std::lock_guard<sync::ForkSafeMutex> lock(servicesMutex());
  return std::exchange(installedProvider(), std::move(provider));
}

ScreenMetrics screenMetrics() {
  ScreenProvider provider;
  {
    std::lock_guard<sync::ForkSafeMutex> lock(servicesMutex());
    provider = installedProvider();
  }
  return provider ? provider() : ScreenMetrics{};
}

Variant callByName(const ObjectRef& object, std::u16string_view member, InvokeKind kind,
                   std::span<Variant> args) {
  if (!object) raiseError(err::kObjectNotSet);
  return object->invoke(object->dispatchId(member), kind, args);
}

BareFileNameHandler setBareFileNameHandler(BareFileNameHandler handler) {
  store::BareNameSeen seen;
  if (handler) {
    seen = [handler](std::string_view name, const std::string& hostPath) {
      std::string windowsPath(paths::kWindowsDirectory);
      windowsPath.push_back('\\');
      windowsPath.append(name);
      handler(name, windowsPath, hostPath);
    };
  }
  BareFileNameHandler previous;
  {
    std::lock_guard<sync::ForkSafeMutex> lock(servicesMutex());
    previous = std::exchange(installedBareNameHandler(), std::move(handler));
  }
  services::setBareNameSeen(std::move(seen));
  return previous;
}

}  // namespace zidevuv10
