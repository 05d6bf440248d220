// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A watchdog for code that must not block (a pipe or a device given as a file name): when the
// guarded scope has not ended within the limit, the test program stops with a message instead
// of hanging for good. It ends as soon as the scope does.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace veka::test {

class HangGuard {
  public:
    explicit HangGuard(std::string what, std::chrono::seconds limit = std::chrono::seconds(20))
        : what_(std::move(what)), watchdog_([this, limit] { watch(limit); }) {}
    ~HangGuard() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_one();
        watchdog_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

  private:
    void watch(std::chrono::seconds limit) {
        std::unique_lock lock(mutex_);
        if (ended_.wait_for(lock, limit, [this] { return done_; })) return;
        std::fprintf(stderr, "HANG: %s did not return within %lld s\n", what_.c_str(),
                     static_cast<long long>(limit.count()));
        std::abort();
    }

    std::string what_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread watchdog_;  // last: starts when the rest is ready
};

}  // namespace veka::test
