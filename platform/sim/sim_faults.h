// Failing one chosen call of the simulated ports. Every port that is given a plan counts its
// calls on it, and the call whose number the plan names fails as Windows fails it: the port
// answers with the error code, null handle, zero or unanswered reply its call has for a failure.
// Ports that share one plan count together, so "call n" is the n-th call the program makes of
// any of them; a port with a plan of its own fails its own n-th call.
#pragma once

#include <cstdint>

class FaultPlan {
  public:
    // From now on, fails call number `n` (counting from 1); 0 fails none and only counts.
    void FailCall(uint32_t n) {
        failAt_ = n;
        calls_ = 0;
        failed_ = nullptr;
    }
    // One call of a port, named `call`; true when it is the one to fail.
    bool Fails(const char* call) {
        if (++calls_ != failAt_)
            return false;
        failed_ = call;
        return true;
    }
    // Calls counted since FailCall.
    uint32_t calls() const { return calls_; }
    // The call that failed ("registry QueryValue"), or null while none has.
    const char* failed() const { return failed_; }

  private:
    uint32_t failAt_ = 0;
    uint32_t calls_ = 0;
    const char* failed_ = nullptr;
};

// What a simulated port shares: the plan it counts its calls on (none by default).
class FaultInjectable {
  public:
    FaultPlan* faults = nullptr;

  protected:
    bool Fails(const char* call) { return faults != nullptr && faults->Fails(call); }
};
