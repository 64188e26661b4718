// One lock for every call into the library's objects. The library's objects
// are apartment objects (one call at a time, related objects sharing state),
// while Python threads run the module's calls with the interpreter lock
// released; this lock keeps those calls one at a time.
//
// Lock order: never wait for this lock while holding the interpreter lock.
// A thread holding this lock may wait for the interpreter lock (a call into a
// Python object handed to the library does), so the reverse would deadlock.
#pragma once

#include <pybind11/pybind11.h>

#include <mutex>

namespace zidevuv10::python {

std::recursive_mutex& objectCallLock();

// Takes the object lock from a thread holding the interpreter lock, letting
// the interpreter lock go while it waits.
inline std::unique_lock<std::recursive_mutex> lockObjects() {
  std::unique_lock<std::recursive_mutex> lock(objectCallLock(), std::try_to_lock);
  if (!lock.owns_lock()) {
    pybind11::gil_scoped_release released;
    lock.lock();
  }
  return lock;
}

}  // namespace zidevuv10::python
