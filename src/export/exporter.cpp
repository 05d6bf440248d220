#include "export/exporter.h"

#include <QDateTime>

#include "export/csv_writer.h"
#include "export/export_format.h"
#include "export/trace_snapshot.h"
#include "export/picture_writers.h"
#include "export/svg_writer.h"
#include "files/safe_file.h"

namespace veka {

namespace {

std::optional<std::string> kodieren(ExportFormat format, const TraceSnapshot& a) {
    switch (format) {
        case ExportFormat::Csv:
            return writeCsv(a,
                                QDateTime::currentDateTime().toString(Qt::ISODate).toStdString());
        case ExportFormat::Png:
            return encodePng(a.picture);
        case ExportFormat::Svg:
            return encodeSvg(a);
        case ExportFormat::Pdf:
            return encodePdf(a);
        case ExportFormat::Dat:
            return a.series;
    }
    return std::nullopt;
}

bool fehlschlag(std::string* fehler, std::string text) {
    if (fehler) *fehler = std::move(text);
    return false;
}

}  // namespace

bool exportTrace(const Instrument& inst, const std::string& pfad, std::string* fehler) {
    const auto format = formatOfName(pfad);
    if (!format) return fehlschlag(fehler, inst.meldungen[Zusatztext::ExportFormatUnbekannt]);
    const auto bytes = kodieren(*format, takeSnapshot(inst));
    if (!bytes)
        return fehlschlag(fehler, "Die Datei \"" + pfad + "\" konnte nicht erzeugt werden.");
    return saveFileSafely(pfad, *bytes, fehler);
}

}  // namespace veka
