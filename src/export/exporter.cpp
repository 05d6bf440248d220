// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/exporter.h"

#include <QDateTime>

#include "export/csv_writer.h"
#include "export/picture_writers.h"
#include "export/summary_writer.h"
#include "export/svg_writer.h"
#include "files/safe_file.h"

namespace veka {

std::optional<std::string> encode(ExportFormat format, const TraceSnapshot& a,
                                  const std::string& exportedAt) {
    switch (format) {
        case ExportFormat::Csv:
            return writeCsv(a);
        case ExportFormat::Png:
            return encodePng(a.picture);
        case ExportFormat::Svg:
            return encodeSvg(a);
        case ExportFormat::Pdf:
            return encodePdf(a);
        case ExportFormat::Dat:
            return a.series;
        case ExportFormat::Json:
            return writeSummary(a, exportedAt);
    }
    return std::nullopt;
}

std::string exportTime() {
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
}

bool exportTrace(const Instrument& inst, const std::string& path, ExportFailure* failure) {
    ExportFailure f;
    const auto format = formatOfName(path);
    const auto bytes = format ? encode(*format, takeSnapshot(inst), exportTime()) : std::nullopt;
    if (!format)
        f = {true, inst.meldungen[Zusatztext::ExportFormatUnbekannt],
             "the name must end in .csv, .png, .svg, .pdf, .dat or .json"};
    else if (!bytes)
        f = {false, "Die Datei \"" + path + "\" konnte nicht erzeugt werden.",
             "the format could not be made"};
    else if (saveFileSafely(path, *bytes, &f.text, &f.reason))
        return true;
    if (failure) *failure = std::move(f);
    return false;
}

}  // namespace veka
