// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/summary_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "display/auswertung.h"
#include "display/filter_analysis.h"
#include "state/instrument.h"

namespace veka {

namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QJsonObject reading(int32_t frequency, int32_t value, bool linear) {
    const double v = value;
    return {{"frequency_hz", frequency},
            {linear ? "level_linear" : "level_db", linear ? v / 400.0 : (v - 400.0) / 5.0},
            {"display_value", value}};
}

QJsonObject sweep(const TraceSnapshot& a) {
    return {{"start_hz", a.start},
            {"step_hz", a.step},
            {"stop_hz", frequencyAt(a.start, a.step, a.points > 0 ? a.points - 1 : 0)},
            {"points", a.points}};
}

QJsonValue correction(const TraceSnapshot& a) {
    if (!a.factors) return QJsonValue::Null;
    return QJsonObject{{"k1", a.factors->k1}, {"k2", a.factors->k2}};
}

void addResults(const TraceSnapshot& a, QJsonObject& doc) {
    const Auswertung e =
        auswerten(a.values, a.points, a.start, a.step, a.mode, a.linear, a.cursorPoint);
    doc["maximum"] = reading(e.ex.maxFrequenz, e.ex.maxWert, a.linear);
    doc["minimum"] = reading(e.ex.minFrequenz, e.ex.minWert, a.linear);
    doc["cursor"] = reading(e.cursorFrequenz, e.cursorWert, a.linear);
    if (!e.band) {
        doc["bandwidth"] = QJsonValue::Null;
        return;
    }
    doc["bandwidth"] = QJsonObject{{"lower_hz", e.band->unten},
                                   {"upper_hz", e.band->oben},
                                   {"width_hz", wrapSub(e.band->oben, e.band->unten)},
                                   {"drop_db", a.linear ? 3 : 6}};
}

QJsonValue optionalNumber(const std::optional<double>& v) {
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

QJsonObject band(const BandAt& b) {
    return {{"drop_db", b.dropDb},
            {"lower_hz", optionalNumber(b.lowerHz)},
            {"upper_hz", optionalNumber(b.upperHz)},
            {"width_hz", optionalNumber(b.widthHz())}};
}

// The filter analysis of the trace shown, as analyseFilter makes it.
QJsonValue analysis(const TraceSnapshot& a) {
    if (!a.shown || a.points < 1) return QJsonValue::Null;
    LevelTrace t{a.start, a.step, a.linear, a.mode == Reflexion, {}};
    for (int k = 1; k <= a.points; ++k) t.levels.push_back(levelOfValue(a.shownValues[k], a.linear));
    const FilterAnalysis r = analyseFilter(t);
    if (r.reflection) {
        QJsonObject o = band(r.below);
        o.remove("drop_db");
        o["minimum_db"] = r.minimumDb;
        o["minimum_hz"] = r.minimumHz;
        o["below_db"] = r.belowDb;
        return o;
    }
    QJsonArray bands;
    for (const BandAt& b : r.bands) bands.append(band(b));
    QJsonObject o{{"maximum_db", r.maximumDb},
                  {"maximum_hz", r.maximumHz},
                  {"bands", bands},
                  {"centre_arithmetic_hz", optionalNumber(r.centreArithmeticHz)},
                  {"centre_geometric_hz", optionalNumber(r.centreGeometricHz)},
                  {"q", optionalNumber(r.q)},
                  {"ripple_db", optionalNumber(r.rippleDb)},
                  {"shape_factor", optionalNumber(r.shapeFactor)}};
    if (r.shapeFactor) o["shape_levels_db"] = QJsonArray{r.shapeFromDb, r.shapeToDb};
    return o;
}

void addExtras(const TraceSnapshot& a, QJsonObject& doc) {
    doc["averaged_sweeps"] = a.averagedOf;
    doc["hold"] = a.hold == Hold::Max ? "max" : a.hold == Hold::Min ? "min" : "off";
    doc["normalised"] = a.normalised;
    doc["reference"] = a.referenceShown;
    doc["limits"] = !a.limitsTested
                        ? QJsonValue(QJsonValue::Null)
                        : QJsonObject{{"passed", a.firstFailure == 0},
                                      {"first_failure_point", a.firstFailure},
                                      {"first_failure_hz",
                                       a.firstFailure > 0
                                           ? QJsonValue(frequencyAt(a.start, a.step,
                                                                    a.firstFailure - 1))
                                           : QJsonValue(QJsonValue::Null)}};
    doc["analysis"] = analysis(a);
}

}  // namespace

std::string writeSummary(const TraceSnapshot& a, std::string_view exportedAt) {
    QJsonObject doc{{"generator", "veka"},
                    {"exported", text(exportedAt)},
                    {"mode", text(modeKey(a.mode))},
                    {"detector", a.linear ? "linear" : "log"},
                    {"attenuation_db", a.attenuationDb},
                    {"correction", correction(a)},
                    {"heading", text(a.heading)},
                    {"demonstration", a.demo},
                    {"source", !a.shown ? "none" : a.measured ? "sweep" : "file"},
                    {"sweep", sweep(a)}};
    addResults(a, doc);
    addExtras(a, doc);
    const QByteArray bytes = QJsonDocument(doc).toJson(QJsonDocument::Indented);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace veka
