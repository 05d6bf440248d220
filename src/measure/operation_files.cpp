// SPDX-License-Identifier: GPL-3.0-or-later
// The file operations: configurations, series and exports, named as the user gave them.
#include <filesystem>
#include <new>

#include "display/diagram.h"
#include "display/messreihe.h"
#include "export/exporter.h"
#include "files/config_file.h"
#include "files/safe_file.h"
#include "files/series_file.h"
#include "files/text_lines.h"
#include "measure/netzwerktester.h"
#include "measure/operations.h"
#include "measure/steps.h"

namespace veka {

namespace {

Status speichern(const std::string& pfad, const std::string& bytes) {
    Error e{Fault::FileNotSaved};
    if (saveFileSafely(pfad, bytes, &e.text, &e.reason)) return {};
    return e;
}

Error nichtGelesen(const std::string& pfad) {
    std::error_code ec;
    const bool da = std::filesystem::exists(pfad, ec);
    return Error{da ? Fault::FileUnreadable : Fault::FileNotFound, {}};
}

}  // namespace

Status Operations::loadConfiguration(const std::string& path) {
    if (Status s = unlocked(); !s) return s;
    if (!konfigurationLaden(path, inst_.e, nullptr, entry_ == Entry::Checked))
        return nichtGelesen(path);
    frequenzenZeigen(inst_);
    dm_diagramm(inst_);
    return {};
}

Status Operations::saveConfiguration(const std::string& path) {
    if (Status s = unlocked(); !s) return s;
    return speichern(path, konfigurationSchreiben(inst_.e));
}

Status Operations::saveSeries(const std::string& path) {
    if (Status s = unlocked(); !s) return s;
    std::string bytes;
    {
        std::lock_guard lock(inst_.datenMutex);
        bytes = messreiheSchreiben(inst_);
    }
    return speichern(path, bytes);
}

// A file that cannot be read, is too large or exhausts memory loads nothing; one whose first
// line names no series says so in message 7.
Status Operations::loadSeries(const std::string& path) {
    if (Status s = unlocked(); !s) return s;
    const auto bytes = readFileBytes(path, MaxMessreiheBytes);
    if (!bytes) return nichtGelesen(path);
    std::optional<GeladeneMessreihe> reihe;
    bool falscheKennung = false;
    try {
        reihe = messreiheLesen(*bytes, &falscheKennung);
    } catch (const std::bad_alloc&) {
        return Error{Fault::FileUnreadable, {}};
    }
    if (!reihe) return Error{Fault::FileUnreadable, falscheKennung ? inst_.meldungen[7] : ""};
    MessreiheAnzeigen(inst_, *reihe);
    return {};
}

Status Operations::exportTrace(const std::string& path) {
    if (Status s = unlocked(); !s) return s;
    ExportFailure f;
    if (veka::exportTrace(inst_, path, &f)) return {};
    return Error{f.unknownFormat ? Fault::UnknownFormat : Fault::FileNotSaved, std::move(f.text),
                 std::move(f.reason)};
}

}  // namespace veka
