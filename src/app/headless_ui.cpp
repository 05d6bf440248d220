// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/headless_ui.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <cstdio>

namespace veka {

namespace {

void zeile(const std::string& text) {
    std::fprintf(stderr, "veka: %s\n", text.c_str());
}

}  // namespace

void HeadlessUi::showMessage(const std::string& text) {
    bool quiet = false;
    {
        std::lock_guard lock(mutex_);
        messages_.push_back(text);
        quiet = quiet_;
    }
    if (!quiet) zeile(text);
}

std::string HeadlessUi::WertEingabe(const WertEingabeAnfrage& anfrage) {
    return anfrage.startText;  // nobody to type: as if cancelled
}

std::optional<std::string> HeadlessUi::chooseFile(const FileDialogRequest&) {
    return std::nullopt;
}

void HeadlessUi::showError(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        errors_.push_back(text);
    }
    zeile(text);
}

void HeadlessUi::postToWindowThread(std::function<void()> task) {
    posted_.post(std::move(task));
}

void HeadlessUi::setMessagesQuiet(bool quiet) {
    std::lock_guard lock(mutex_);
    quiet_ = quiet;
}

std::vector<std::string> HeadlessUi::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> HeadlessUi::errors() const {
    std::lock_guard lock(mutex_);
    return errors_;
}

int withoutDisplay(const std::function<int()>& front) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "veka";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    return front();
}

}  // namespace veka
