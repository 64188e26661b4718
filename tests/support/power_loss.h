// A model of a power loss for the files of one folder: only what fsync
// made durable survives. A writer's FaultyFileSystem records, after each
// successful fsync, the bytes of the file synced (by inode) or the folder's
// names (when the folder itself is synced) in a shadow folder, which
// outlives the writer's process. After the writer is gone, loseUnsynced()
// rebuilds the folder as the disk would show it when the power came back:
// the names last synced, each file with the bytes last synced (a file never
// synced: the bytes it had when the model began, or none), keeping the
// inodes that survive so that records naming them still match.
#pragma once

#include <string>

#include "support/faulty_file_system.h"

namespace zidevuv10::testing {

class PowerLossModel {
 public:
  // Takes the folder's current state as durable; `shadow` is an empty
  // folder outside it.
  PowerLossModel(std::string folder, std::string shadow);
  // Records durability through this file system's fsyncs (in the writer).
  void record(FaultyFileSystem& fs) const;
  // Puts the folder back to its durable state (after the writer is gone).
  void loseUnsynced() const;

 private:
  void saveNames() const;
  void saveBytes(unsigned long inode, const std::string& bytes) const;

  std::string folder_;
  std::string shadow_;
};

}  // namespace zidevuv10::testing
