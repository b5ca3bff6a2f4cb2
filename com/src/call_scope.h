// Calls into the component may call out to the caller's objects (its company
// object, its connection's event handlers), and those may call back in: hand
// the account another company object or the thread another connection while
// the engine is still using the old ones, or drop the last reference to the
// object called. A CallScope spans one member's call: the object called
// stays alive, and whatever is replaced meanwhile is released only once the
// thread's outermost call has returned.
#ifndef VORNEXA_COM_CALL_SCOPE_H_
#define VORNEXA_COM_CALL_SCOPE_H_

#include <unknwn.h>

#include <memory>

namespace vornexa::com {

class CallScope {
 public:
  explicit CallScope(IUnknown& object);
  ~CallScope();
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

 private:
  IUnknown& object_;
};

// Keeps `replaced` until the thread's outermost call returns. Call inside a
// CallScope.
void KeepUntilCallsReturn(std::shared_ptr<const void> replaced);

}  // namespace vornexa::com

#endif  // VORNEXA_COM_CALL_SCOPE_H_
