#pragma once
// A lock and a condition for two threads that hand work to each other many
// times a second: Windows' slim reader/writer lock (SRWLOCK) and
// CONDITION_VARIABLE. std::mutex and std::condition_variable of the posix
// thread model take a kernel semaphore at every contended lock and every wait,
// a round trip to the wine server under Wine; these wait on an address in the
// process itself (RtlWaitOnAddress), which the kernel takes without one.

#include <windows.h>

namespace varnex {

// Meets the standard's BasicLockable, for std::lock_guard and std::unique_lock.
class SlimLock {
 public:
  SlimLock() = default;
  SlimLock(const SlimLock&) = delete;
  SlimLock& operator=(const SlimLock&) = delete;

  void lock() { AcquireSRWLockExclusive(&lock_); }
  void unlock() { ReleaseSRWLockExclusive(&lock_); }

 private:
  friend class SlimCondition;
  SRWLOCK lock_ = SRWLOCK_INIT;
};

class SlimCondition {
 public:
  SlimCondition() = default;
  SlimCondition(const SlimCondition&) = delete;
  SlimCondition& operator=(const SlimCondition&) = delete;

  // Waits, `lock` held, until `ready` holds; a wake that finds it false
  // waits again.
  template <typename Lock, typename Ready>
  void wait(Lock& lock, Ready ready) {
    while (!ready()) SleepConditionVariableSRW(&condition_, &lock.mutex()->lock_, INFINITE, 0);
  }
  void notify_all() { WakeAllConditionVariable(&condition_); }

 private:
  CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
};

}  // namespace varnex
