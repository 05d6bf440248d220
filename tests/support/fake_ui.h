// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A UserInterface with scripted answers, for driving the logic without a window. Answers are
// taken in order; when none is left the box is cancelled (the starting text comes back).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "state/user_interface.h"

namespace veka::test {

class FakeUi : public UserInterface {
  public:
    void showMessage(const std::string& text) override {
        std::function<void()> dabei;
        {
            std::lock_guard lock(mutex_);
            messages.push_back(text);
            if (!duringMessage.empty()) {
                dabei = std::move(duringMessage.front());
                duringMessage.pop_front();
            }
        }
        if (dabei) dabei();  // what the user does while the box is open
    }
    std::string WertEingabe(const WertEingabeAnfrage& anfrage) override {
        requests.push_back(anfrage);
        if (answers.empty()) return anfrage.startText;
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    void showError(const std::string& text) override { errors.push_back(text); }
    void postToWindowThread(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        posted.push_back(std::move(task));
        postedSignal_.notify_all();
    }
    // Waits until some task has been posted; false when none came in time.
    bool waitForPosted(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return postedSignal_.wait_for(lock, timeout, [this] { return !posted.empty(); });
    }

    // Runs what other threads posted, as the window's event loop would.
    size_t runPosted() {
        std::vector<std::function<void()>> tasks;
        {
            std::lock_guard lock(mutex_);
            tasks.swap(posted);
        }
        for (auto& t : tasks) t();
        return tasks.size();
    }
    size_t messageCount() {
        std::lock_guard lock(mutex_);
        return messages.size();
    }
    size_t postedCount() {
        std::lock_guard lock(mutex_);
        return posted.size();
    }

    std::vector<std::string> messages;
    std::deque<std::function<void()>> duringMessage;
    std::deque<std::string> answers;
    std::vector<WertEingabeAnfrage> requests;
    std::deque<std::optional<std::string>> files;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<std::string> errors;

  private:
    std::mutex mutex_;
    std::condition_variable postedSignal_;
    std::vector<std::function<void()>> posted;
};

}  // namespace veka::test
