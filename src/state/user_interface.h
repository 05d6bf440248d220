// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few things the program logic asks of the window system. The Qt window implements it;
// tests implement it with scripted answers. Every call but postToWindowThread and
// refreshWecken is made on the window thread.

#include <functional>
#include <optional>
#include <string>

namespace veka {

// The six arguments of the value input box (the sixth, the answer, is the return value).
struct WertEingabeAnfrage {
    std::string startText;
    std::string caption;
    std::string prompt;
    std::string okText;
    std::string cancelText;
};

struct FileDialogRequest {
    bool save = false;
    std::string filter;         // "Name|*.ext|Alle|*.*"
    std::string defaultSuffix;  // without the dot
    std::string offeredName;    // may be empty
};

class UserInterface {
  public:
    virtual ~UserInterface() = default;

    // Information box with one OK button; returns when it is closed.
    virtual void showMessage(const std::string& text) = 0;

    // The value input box: the typed text on OK, the starting text on cancel.
    virtual std::string WertEingabe(const WertEingabeAnfrage& anfrage) = 0;

    // A file dialog; nothing when the user cancels.
    virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;

    // An error the user must hear about (a file that could not be written, a printer fault).
    virtual void showError(const std::string& text) = 0;

    // A report of several lines under a title (the filter analysis), until it is closed.
    virtual void showReport(const std::string& title, const std::string& text) {
        (void)title;
        showMessage(text);
    }

    // Runs a task on the window thread later; may be called from any thread and never waits.
    virtual void postToWindowThread(std::function<void()> task) = 0;

    // The sweep drew while the window's refresh rested (Netzwerktester::refreshRuhen): the
    // refresh must run again. Called from the sweep's worker; never waits. Fronts without a
    // refresh ignore it.
    virtual void refreshWecken() {}
};

}  // namespace veka
