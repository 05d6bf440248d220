#include "app/port_settings.h"

#include <QSettings>

namespace veka {

namespace {

QString keyFor(int32_t comport) {
    return QStringLiteral("ports/COM%1").arg(comport);
}

}  // namespace

PortPaths loadPortChoices() {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "veka", "veka");
    PortPaths paths;
    for (int32_t n = 1; n <= 9; ++n) {
        const QString device = settings.value(keyFor(n)).toString();
        if (!device.isEmpty()) paths.setChoice(n, device.toLocal8Bit().toStdString());
    }
    return paths;
}

void storePortChoice(int32_t comport, const std::string& device) {
    if (comport < 1 || comport > 9) return;
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "veka", "veka");
    if (device.empty())
        settings.remove(keyFor(comport));
    else
        settings.setValue(keyFor(comport), QString::fromLocal8Bit(device));
    settings.sync();
}

}  // namespace veka
