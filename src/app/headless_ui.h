// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UserInterface without a window, for the fronts that run without one (batch mode, remote
// control): boxes become lines on standard error and are kept for later questions, the value
// input box answers with its starting text, a file dialog is always cancelled, and posted
// tasks run in the event loop of the thread that made the object.

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/posted_tasks.h"
#include "state/user_interface.h"

namespace veka {

class HeadlessUi : public UserInterface {
  public:
    HeadlessUi() = default;

    void showMessage(const std::string& text) override;
    std::string WertEingabe(const WertEingabeAnfrage& anfrage) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    void showError(const std::string& text) override;
    void postToWindowThread(std::function<void()> task) override;

    // Information boxes are kept but not written out (errors always are).
    void setMessagesQuiet(bool quiet);

    // What was shown so far, in order. Any thread.
    std::vector<std::string> messages() const;
    std::vector<std::string> errors() const;

  private:
    mutable std::mutex mutex_;
    bool quiet_ = false;
    std::vector<std::string> messages_;
    std::vector<std::string> errors_;
    PostedTasks posted_;  // run on the creating thread; they die with it
};

// Runs front inside an application that draws off screen, so that no display is needed;
// returns what front returns.
int withoutDisplay(const std::function<int()>& front);

}  // namespace veka
