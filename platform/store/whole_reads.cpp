#include "store/whole_reads.h"

namespace zidevuv10::store {

bool WholeReads::known(const Snapshot& snap) {
  if (!snap.exists || !snap.doc) return false;
  const FileIdentity id = identityOf(snap.st);
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  const auto it = entries_.find(snap.st.st_ino);
  // A live weak pointer equal to the document is that very document, never
  // a new one at a reused address.
  return it != entries_.end() && it->second.id == id && it->second.doc.lock() == snap.doc;
}

void WholeReads::remember(const Snapshot& snap) {
  if (!snap.exists || !snap.doc) return;
  std::lock_guard<sync::ForkSafeMutex> lock(mutex_);
  if (entries_.size() >= kMaxFiles && entries_.find(snap.st.st_ino) == entries_.end()) {
    // Forget documents nobody holds any more; failing that, everything.
    for (auto it = entries_.begin(); it != entries_.end();) {
      it = it->second.doc.expired() ? entries_.erase(it) : std::next(it);
    }
    if (entries_.size() >= kMaxFiles) entries_.clear();
  }
  entries_[snap.st.st_ino] = {identityOf(snap.st), snap.doc};
}

}  // namespace zidevuv10::store
