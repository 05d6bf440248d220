#include "ui/remote_window.h"

#include <QApplication>

#include "ui/vek32.h"

namespace veka {

WindowRemoteHost::WindowRemoteHost(TForm1& window, const std::string& version)
    : window_(window), server_(*this, version) {}

Netzwerktester& WindowRemoteHost::logic() {
    return window_.logik();
}

void WindowRemoteHost::changed() {
    window_.spiegeln();
}

bool WindowRemoteHost::busy() const {
    return QApplication::activeModalWidget() != nullptr;
}

}  // namespace veka
