#include "vornexa/data/connection.h"

namespace vornexa {

AtomicScope::AtomicScope(Connection& connection) : connection_(connection) {
  connection_.BeginAtomic();
}

AtomicScope::~AtomicScope() {
  if (!open_) return;
  try {
    connection_.RollbackAtomic();
  } catch (...) {
    // A destructor must not throw; the failure that unwinds us is the one to report.
  }
}

void AtomicScope::Commit() {
  connection_.CommitAtomic();
  open_ = false;
}

}  // namespace vornexa
