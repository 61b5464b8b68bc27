// A seam for tests: failures of the file layer that real files cannot
// produce (a read error, a failing close) injected on the reading road.
// Nothing is injected unless a test installs a plan.
#ifndef ZEL_ACCESSOR_FAULT_INJECTION_H
#define ZEL_ACCESSOR_FAULT_INJECTION_H

#include <atomic>

#include "accessor/result_codes.h"

namespace zel::fault {

struct Plan {
    // The field read (counted from 1 within each open file) that fails with
    // readCause; 0 for none.
    int failingFieldRead = 0;
    Cause readCause = Cause::hardIO;
    // Whether closing the file fails, with closeCause.
    bool failClose = false;
    Cause closeCause = Cause::hardIO;
};

// The installed plan, or nullptr. Tests install one with Scope.
extern std::atomic<const Plan*> g_plan;

class Scope {
  public:
    explicit Scope(const Plan& plan) { g_plan.store(&plan); }
    ~Scope() { g_plan.store(nullptr); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

inline const Plan* current() { return g_plan.load(std::memory_order_acquire); }

}  // namespace zel::fault

#endif
