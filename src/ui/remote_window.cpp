// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/remote_window.h"

#include <QApplication>

#include "ui/vek32.h"

namespace veka {

WindowRemoteHost::WindowRemoteHost(TForm1& window, const std::string& version, PeerAccess access)
    : window_(window),
      localKey_(QKeySequence(Qt::Key_Escape), &window),
      server_(*this, version, std::move(access)) {
    localKey_.setEnabled(false);
    QObject::connect(&localKey_, &QShortcut::activated, &window,
                     [this] { setLock(WindowLock::Local); });
}

Netzwerktester& WindowRemoteHost::logic() {
    return window_.logik();
}

void WindowRemoteHost::runCommand(const std::function<void()>& command) {
    window_.fernAusfuehren(command);
}

bool WindowRemoteHost::asking() const {
    return QApplication::activeModalWidget() != nullptr;
}

void WindowRemoteHost::setLock(WindowLock lock) {
    window_.fernSperren(lock != WindowLock::Local);
    localKey_.setEnabled(lock == WindowLock::Remote);
}

}  // namespace veka
