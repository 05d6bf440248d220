#include "export/exporter.h"

#include <QDateTime>

#include "export/csv_writer.h"
#include "export/export_format.h"
#include "export/messaufnahme.h"
#include "export/picture_writers.h"
#include "export/svg_writer.h"
#include "files/safe_file.h"

namespace veka {

namespace {

std::optional<std::string> kodieren(ExportFormat format, const Messaufnahme& a) {
    switch (format) {
        case ExportFormat::Csv:
            return csvSchreiben(a,
                                QDateTime::currentDateTime().toString(Qt::ISODate).toStdString());
        case ExportFormat::Png:
            return pngSchreiben(a.bild);
        case ExportFormat::Svg:
            return svgSchreiben(a);
        case ExportFormat::Pdf:
            return pdfSchreiben(a);
        case ExportFormat::Dat:
            return a.messreihe;
    }
    return std::nullopt;
}

bool fehlschlag(std::string* fehler, std::string text) {
    if (fehler) *fehler = std::move(text);
    return false;
}

}  // namespace

bool exportieren(const Instrument& inst, const std::string& pfad, std::string* fehler) {
    const auto format = formatVonEndung(pfad);
    if (!format) return fehlschlag(fehler, inst.meldungen[Zusatztext::ExportFormatUnbekannt]);
    const auto bytes = kodieren(*format, aufnehmen(inst));
    if (!bytes)
        return fehlschlag(fehler, "Die Datei \"" + pfad + "\" konnte nicht erzeugt werden.");
    return saveFileSafely(pfad, *bytes, fehler);
}

void Exportieren1Click(const Instrument& inst, UserInterface& ui, std::string& angeboten) {
    const auto pfad = ui.chooseFile({true, exportFilter(), "csv", angeboten});
    if (!pfad) return;
    angeboten = *pfad;
    std::string fehler;
    if (!exportieren(inst, *pfad, &fehler)) ui.showError(fehler);
}

}  // namespace veka
