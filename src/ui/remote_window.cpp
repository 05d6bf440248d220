#include "ui/remote_window.h"

#include <QApplication>

#include "ui/vek32.h"

namespace veka {

Fernsteuerung::Fernsteuerung(TForm1& fenster, const std::string& version)
    : fenster_(fenster), ui_(&fenster, fenster.eingabe()), server_(*this, version) {}

Netzwerktester& Fernsteuerung::logik() {
    return fenster_.logik();
}

void Fernsteuerung::run(const std::function<void()>& command) {
    fenster_.ausfuehren(command);
}

bool Fernsteuerung::busy() const {
    return QApplication::activeModalWidget() != nullptr;
}

}  // namespace veka
