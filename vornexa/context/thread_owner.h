// Objects belong to the thread that created them: the shared connection is
// per thread, so an object called from another thread would silently run its
// statements on that thread's database. ThreadOwner records the creating
// thread and refuses calls from any other.
#ifndef VORNEXA_CONTEXT_THREAD_OWNER_H_
#define VORNEXA_CONTEXT_THREAD_OWNER_H_

#include <thread>

#include "vornexa/base/error.h"

namespace vornexa {

class ThreadOwner {
 public:
  ThreadOwner() = default;
  // A copy belongs to the thread that makes it; assignment keeps the owner.
  ThreadOwner(const ThreadOwner&) {}
  ThreadOwner& operator=(const ThreadOwner&) { return *this; }

  // Raises the platform's wrong-thread error (-2147417842) unless called on
  // the owning thread. One comparison: cheap enough for every operation.
  void Check() const {
    if (std::this_thread::get_id() != owner_) RaiseRuntimeError(error_number::kWrongThread);
  }

 private:
  std::thread::id owner_ = std::this_thread::get_id();
};

}  // namespace vornexa

#endif  // VORNEXA_CONTEXT_THREAD_OWNER_H_
