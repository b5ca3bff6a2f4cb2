#include "com/src/call_scope.h"

#include <utility>
#include <vector>

namespace vornexa::com {

namespace {

thread_local int depth = 0;
thread_local std::vector<std::shared_ptr<const void>> kept;

}  // namespace

CallScope::CallScope(IUnknown& object) : object_(object) {
  object_.AddRef();
  ++depth;
}

CallScope::~CallScope() {
  if (--depth == 0 && !kept.empty()) {
    // Released outside the list: a release may call back in.
    std::vector<std::shared_ptr<const void>> released = std::move(kept);
    kept.clear();
  }
  object_.Release();
}

void KeepUntilCallsReturn(std::shared_ptr<const void> replaced) {
  if (replaced) kept.push_back(std::move(replaced));
}

}  // namespace vornexa::com
