// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tasks a worker thread hands to the thread of a QObject (the window thread): each is queued
// under a mutex and run there from that thread's event loop, in the order posted. The mutex,
// not only Qt's event queue, carries the hand-over, so that ThreadSanitizer sees it too.

#include <QMetaObject>
#include <QObject>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>

namespace veka {

class PostedTasks {
  public:
    // Runs each task on the thread the context lives on, unless `keep` says no at that time.
    explicit PostedTasks(std::function<bool()> keep = [] { return true; }) : keep_(std::move(keep)) {}

    void post(std::function<void()> task) {
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        QMetaObject::invokeMethod(&context_, [this] { runOne(); }, Qt::QueuedConnection);
    }

  private:
    void runOne() {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        if (keep_()) task();
    }

    std::function<bool()> keep_;
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    QObject context_;  // lives on the constructing thread; queued calls die with it
};

}  // namespace veka
