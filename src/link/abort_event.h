// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-way switch that ends waits: once raised it stays raised, and every wait that watches
// it returns at once. Raising it is async-signal-safe, so a signal handler may end the
// program's device waits.

#include <atomic>
#include <chrono>

namespace veka {

class AbortEvent {
  public:
    AbortEvent();
    ~AbortEvent();
    AbortEvent(const AbortEvent&) = delete;
    AbortEvent& operator=(const AbortEvent&) = delete;

    // Raises the switch: an atomic store and one write(2), so a signal handler may call it.
    void raise() const;
    // A plain load: the per-point check of a sweep costs no system call.
    bool raised() const { return gesetzt_.load(); }
    // Readable once raised; poll it together with other descriptors.
    int fd() const { return fd_; }

    // Sleeps for the given time; false when the switch was or got raised.
    bool sleepFor(std::chrono::microseconds time) const;
    bool sleepUntil(std::chrono::steady_clock::time_point until) const;

  private:
    int fd_;
    // Set by raise(); lock-free, so raising stays async-signal-safe.
    mutable std::atomic<bool> gesetzt_{false};
    static_assert(std::atomic<bool>::is_always_lock_free);
};

}  // namespace veka
