// The files the store keeps beside a settings file (its writers' lock file
// and its journal): whom they may be trusted from, and opening them so that
// the decision is made about the very file opened. The rules are those of
// WRITE_PROTOCOL.md ("Files").
#pragma once

#include <sys/stat.h>

#include <string>

#include "fs/file_system.h"

namespace zidevuv10::store {

enum class SideKind { Lock, Journal };

// What a side file is judged against: the settings file (when it exists)
// and its folder.
struct SideContext {
  bool fileExists = false;
  struct stat file {};
  struct stat folder {};
};

// Stats the settings file (following no link: it is the resolved target)
// and its folder; 0 or -errno.
int sideContextOf(fs::FileSystem& fs, const std::string& target, SideContext& ctx);

// Whether a side file of this kind with this stat may be used: a regular
// file with one link, owned by a writer of the settings file, whose mode
// lets nobody else in.
bool trustedSide(fs::FileSystem& fs, const struct stat& side, const SideContext& ctx,
                 SideKind kind);

// Opens an existing side file without following a link and checks the
// opened file: the descriptor, -ENOENT when there is none, -EEXIST when the
// one there may not be trusted (someone else's), or -errno.
int openSide(fs::FileSystem& fs, const std::string& path, int flags, const SideContext& ctx,
             SideKind kind);

// Creates a side file exclusively, with the settings file's group where the
// caller can give it, and the mode the rules allow for this kind: the
// descriptor (open read-write), -EEXIST when the name is taken, or -errno.
int createSide(fs::FileSystem& fs, const std::string& path, const SideContext& ctx,
               SideKind kind);

// Opens the side file, creating it when there is none; `created` tells
// which. The descriptor (read-write) or -errno as above; -EAGAIN when other
// writers kept creating and removing it meanwhile.
int openOrCreateSide(fs::FileSystem& fs, const std::string& path, const SideContext& ctx,
                     SideKind kind, bool& created);

}  // namespace zidevuv10::store
