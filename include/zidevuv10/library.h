// The library as a component: creation of classes by ProgID or class id,
// registration in the component registry, and the factory other processes
// reach through the registry.
//
// The registry is an INI file: $ZIDEVUV10_REGISTRY if set, else
// ${XDG_CONFIG_HOME:-$HOME/.config}/zidevuv10/registry.ini, the home folder
// taken from the password database when HOME is unset; without a home
// folder there is no registry. Creation looks first at this library's
// classes, then in the registry, loading a registered library with dlopen
// and asking its exported factory. A registry file that others could have
// written (it, or a folder above it, writable by anyone but its owner, or
// owned by someone other than the caller or root) is ignored, with the
// reason printed once on standard error; library paths must be absolute.
//
// Thread safety: creation and registration may be called from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "zidevuv10/export.h"
#include "zidevuv10/object.h"

namespace zidevuv10 {

// A new object of the class named by ProgID (without regard to case) or by
// class id (with or without braces); error 429 when no such class exists.
ZIDEVUV10_API ObjectRef createObject(std::u16string_view progIdOrClassId);

// The registry file in use; empty when there is none.
ZIDEVUV10_API std::string registryPath();

// Writes the records of this library's classes and type library, naming
// libraryFile (default: the loaded zidevuv10.so); false when the registry
// cannot be written or is not trusted, or the path is not absolute.
ZIDEVUV10_API bool registerLibrary(const std::optional<std::string>& libraryFile = std::nullopt);
// Removes exactly the records registerLibrary writes.
ZIDEVUV10_API bool unregisterLibrary();

// The file this library was loaded from, in host form.
ZIDEVUV10_API std::string libraryFile();

}  // namespace zidevuv10

// The factory a registered library exports: a new object of the class with
// that class id (lower case, without braces), with one reference the caller
// takes over, or null.
extern "C" ZIDEVUV10_API zidevuv10::Object* zidevuv10_create_object(const char16_t* classId);
using Zidevuv10Factory = zidevuv10::Object* (*)(const char16_t* classId);
