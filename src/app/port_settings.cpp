// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/port_settings.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <optional>

#include "files/safe_file.h"
#include "files/text_lines.h"

namespace veka {

namespace {

QString keyFor(int32_t comport) {
    return QStringLiteral("ports/COM%1").arg(comport);
}

// The user's settings file, e.g. ~/.config/veka/veka.conf (QSettings::setPath moves it). Qt
// tells where it is only through an object whose construction reads files, so ask with names
// that no file carries.
std::string settingsFile() {
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope,
                          QStringLiteral(".veka-path-probe"), QStringLiteral("p"));
    const QString userFolder = QFileInfo(QFileInfo(probe.fileName()).absolutePath()).absolutePath();
    return QFile::encodeName(userFolder + QStringLiteral("/veka/veka.conf")).toStdString();
}

// The file's bytes, empty when there is none. Nothing when it is no regular file, cannot be
// read or is over the bound; one line on standard error then says so.
std::optional<std::string> storedBytes(const std::string& path) {
    ReadStatus status = ReadStatus::Ok;
    if (auto bytes = readFileBytes(path, MaxSettingsBytes, &status)) return bytes;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return std::string();
    std::fprintf(stderr, "veka: %s: %s; the per-user settings are not used\n", path.c_str(),
                 status == ReadStatus::TooLarge ? "larger than 1 MiB"
                                                : "not a regular file that can be read");
    return std::nullopt;
}

// QSettings reads and writes a private copy, never the file itself: its own read of the file
// would follow any size and block on a pipe.
bool fillCopy(QTemporaryFile& copy, const std::string& bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    return copy.open() && copy.write(bytes.data(), size) == size && copy.flush();
}

}  // namespace

PortPaths loadPortChoices() {
    PortPaths paths;
    const std::optional<std::string> bytes = storedBytes(settingsFile());
    QTemporaryFile copy;
    if (!bytes || bytes->empty() || !fillCopy(copy, *bytes)) return paths;
    const QSettings settings(copy.fileName(), QSettings::IniFormat);
    for (int32_t n = 1; n <= 9; ++n) {
        const QString device = settings.value(keyFor(n)).toString();
        if (!device.isEmpty()) paths.setChoice(n, device.toLocal8Bit().toStdString());
    }
    return paths;
}

void storePortChoice(int32_t comport, const std::string& device) {
    if (comport < 1 || comport > 9) return;
    const std::string path = settingsFile();
    const std::optional<std::string> bytes = storedBytes(path);
    QTemporaryFile copy;
    if (!bytes || !fillCopy(copy, *bytes)) return;
    {
        QSettings settings(copy.fileName(), QSettings::IniFormat);
        if (device.empty())
            settings.remove(keyFor(comport));
        else
            settings.setValue(keyFor(comport), QString::fromLocal8Bit(device));
        settings.sync();
    }
    const std::optional<std::string> updated = readFileBytes(copy.fileName().toStdString());
    std::string error = "cannot update " + path;
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    if (!updated || !saveFileSafely(path, *updated, &error))
        std::fprintf(stderr, "veka: %s\n", error.c_str());
}

}  // namespace veka
