// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <mutex>

#include "display/diagram.h"
#include "display/auswertung.h"
#include "export/csv_writer.h"
#include "export/export_format.h"
#include "export/exporter.h"
#include "export/svg_writer.h"
#include "files/series_file.h"
#include "support/fake_ui.h"
#include "support/work_dir.h"

namespace veka {
namespace {

namespace fs = std::filesystem;

TEST(ExportFormat, FollowsTheExtension) {
    const std::pair<const char*, std::optional<ExportFormat>> faelle[] = {
        {"a.csv", ExportFormat::Csv},   {"dir/B.PNG", ExportFormat::Png},
        {"c.Svg", ExportFormat::Svg},   {"/tmp/x.y.pdf", ExportFormat::Pdf},
        {"vek.dat", ExportFormat::Dat}, {"ohne", std::nullopt},
        {"a.txt", std::nullopt},        {"ordner.csv/datei", std::nullopt},
        {"a.csv.bak", std::nullopt},    {"", std::nullopt},
        {"s.JSON", ExportFormat::Json},
    };
    for (const auto& [pfad, format] : faelle) EXPECT_EQ(formatOfName(pfad), format) << pfad;
    EXPECT_EQ(exportFilter(),
              "CSV-Tabelle|*.csv|PNG-Bild|*.png|SVG-Grafik|*.svg|PDF-Seite|*.pdf|Messreihe|*.dat|"
              "JSON-Zusammenfassung|*.json");
}

TEST(Csv, FieldsQuotedOnlyWhereRfc4180NeedsIt) {
    const std::pair<const char*, const char*> faelle[] = {
        {"abc", "abc"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"sagt \"hallo\"", "\"sagt \"\"hallo\"\"\""},
        {"a\nb", "\"a\nb\""},
        {"a\r", "\"a\r\""},
        {"Überschrift", "Überschrift"},
    };
    for (const auto& [text, feld] : faelle) EXPECT_EQ(csvField(text), feld) << text;
}

TraceSnapshot snapshotWith(bool linear) {
    TraceSnapshot a;
    a.mode = Durchgang;
    a.linear = linear;
    a.start = INT32_MAX - 5;  // the third point wraps, as on the device
    a.step = 5;
    a.points = 3;
    a.values = {};
    a.values[1] = 350;
    a.values[2] = 400;
    a.values[3] = 1;
    for (int k = 1; k <= 3; ++k) a.level[k] = a.held[k] = a.shownValues[k] = a.values[k];
    a.factors = Korrfaktorpaar{47, 260};
    a.heading = "Filter, \"neu\"";
    return a;
}

TEST(Csv, HeaderThenOneRowPerPointAtFullResolution) {
    struct Fall {
        bool linear;
        bool measured;
        const char* kopf;
        const char* lines[3];
    } faelle[] = {
        {false, true, "frequency_hz,level_db,display_value,raw_reading",
         {"2147483642,-10.0,350,7", "2147483647,0.0,400,8", "-2147483644,-79.8,1,9"}},
        {true, true, "frequency_hz,level_linear,display_value,raw_reading",
         {"2147483642,0.8750,350,7", "2147483647,1.0000,400,8", "-2147483644,0.0025,1,9"}},
        {false, false, "frequency_hz,level_db,display_value,raw_reading",
         {"2147483642,-10.0,350,", "2147483647,0.0,400,", "-2147483644,-79.8,1,"}},
    };
    for (const Fall& f : faelle) {
        TraceSnapshot a = snapshotWith(f.linear);
        a.raw[1] = 7, a.raw[2] = 8, a.raw[3] = 9;
        a.measured = f.measured;
        std::string erwartet = std::string(f.kopf) + "\r\n";
        for (const char* z : f.lines) erwartet += std::string(z) + "\r\n";
        EXPECT_EQ(writeCsv(a), erwartet);
    }
    // Every display value in 0.2 dB steps, negative, across zero and far off.
    const std::pair<int32_t, const char*> pegel[] = {
        {352, "-9.6"}, {399, "-0.2"}, {400, "0.0"}, {401, "0.2"}, {0, "-80.0"},
        {-1, "-80.2"}, {INT32_MIN, "-429496809.6"}, {INT32_MAX, "429496649.4"}};
    for (const auto& [v, text] : pegel) EXPECT_EQ(Pegeltext(v, false), text) << v;
    EXPECT_EQ(Pegeltext(-1, true), "-0.0025");
    EXPECT_EQ(Pegeltext(INT32_MIN, true), "-5368709.1200");
}

// An instrument with the grid of its mode and a curve in both surfaces.
struct Drawn {
    explicit Drawn(int32_t messart = Durchgang) {
        inst.Messart = messart;
        inst.e.Messpunkte = 40;
        inst.Diagrammueberschrift = "Kopf";
        dm_diagramm(inst);
        std::lock_guard lock(inst.datenMutex);
        for (int k = 1; k <= 40; ++k) {
            inst.daten.Messwerte[k] = 20 + 9 * k;
            inst.daten.Messwerte2[k] = 300 - 5 * k;
        }
        drawCurve(inst.daten.Diagrammbild, inst.daten.Messwerte, 40, 230);
    }
    Anzeigebitmap bild() const {
        Anzeigebitmap b;
        std::lock_guard lock(inst.datenMutex);
        BilderVerknuepfen(b, inst.daten.Rasterbild, inst.daten.Diagrammbild);
        return b;
    }
    Instrument inst;
};

std::string exported(const Instrument& inst, const std::string& name) {
    ExportFailure fehler;
    EXPECT_TRUE(exportTrace(inst, name, &fehler)) << fehler.text;
    return test::fileContents(name);
}

TEST(Png, IsTheWindowPicturePixelForPixelWithTheHalftonePalette) {
    test::WorkDir dir;
    const Drawn g;
    exported(g.inst, "bild.png");
    QImage png;
    ASSERT_TRUE(png.load("bild.png", "PNG"));
    ASSERT_EQ(png.format(), QImage::Format_Indexed8);
    ASSERT_EQ(png.size(), QSize(Anzeigebitmap::Breite, Anzeigebitmap::Hoehe));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(png.color(i), Halbtonpalette()[i]) << i;
    const Anzeigebitmap bild = g.bild();
    int abweichend = 0;
    for (int y = 0; y < Anzeigebitmap::Hoehe; ++y)
        for (int x = 0; x < Anzeigebitmap::Breite; ++x)
            abweichend += png.pixelIndex(x, y) != bild.at(x, y);
    EXPECT_EQ(abweichend, 0);
}

QString tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Runs a tool; its standard output, or nothing when it failed.
std::optional<QString> runTool(const QString& programm, const QStringList& argumente) {
    QProcess p;
    p.start(programm, argumente);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The polylines of an SVG with exactly n points (grid lines come out as two-point ones).
size_t polylinesWith(const std::string& svg, int n) {
    size_t anzahl = 0;
    for (size_t p = svg.find("<polyline"); p != std::string::npos;
         p = svg.find("<polyline", p + 1)) {
        const size_t von = svg.find("points=\"", p) + 8;
        const std::string punkte = svg.substr(von, svg.find('"', von) - von);
        anzahl += QString::fromStdString(punkte).simplified().split(' ').size() == n;
    }
    return anzahl;
}

TEST(Svg, GridLabelsAndCurveAsVectorsThatRsvgRenders) {
    struct Fall {
        int32_t messart;
        size_t kurven;
        bool texte;
    } faelle[] = {{Durchgang, 1, true}, {SmithModus, 2, false}, {VFO, 1, true}};
    for (const Fall& f : faelle) {
        test::WorkDir dir;
        const Drawn g(f.messart);
        const std::string svg = exported(g.inst, "d.svg");
        EXPECT_EQ(polylinesWith(svg, 40), f.kurven) << f.messart;
        EXPECT_NE(svg.find("viewBox=\"0 0 641 481\""), std::string::npos);
        EXPECT_EQ(svg.find("<text") != std::string::npos, f.texte) << f.messart;
        EXPECT_EQ(svg.find("<image"), std::string::npos) << "vectors only";
        if (f.messart == Durchgang) {
            EXPECT_NE(svg.find(">10.000.000 Hz</text>"), std::string::npos);
            EXPECT_NE(svg.find(">-80</text>"), std::string::npos);
        }
        const QString rsvg = tool("rsvg-convert");
        if (rsvg.isEmpty()) GTEST_SKIP() << "rsvg-convert is not installed";
        EXPECT_TRUE(runTool(rsvg, {"d.svg", "-o", "d.png"})) << f.messart;
        QImage bild;
        EXPECT_TRUE(bild.load("d.png")) << f.messart;
        EXPECT_EQ(bild.size(), QSize(Anzeigebitmap::Breite, Anzeigebitmap::Hoehe));
    }
}

// The longest runs of dark pixels across and down: the grid's level and frequency lines.
std::pair<int, int> longestDarkRuns(const QImage& page) {
    const auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 64; };
    int across = 0, down = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0, run = 0; x < page.width(); ++x) across = std::max(across, run = dark(x, y) ? run + 1 : 0);
    for (int x = 0; x < page.width(); ++x)
        for (int y = 0, run = 0; y < page.height(); ++y) down = std::max(down, run = dark(x, y) ? run + 1 : 0);
    return {across, down};
}

TEST(Pdf, ThePageWithTheDiagramAsVectorsAtOneScale) {
    test::WorkDir dir;
    Drawn g;
    g.inst.e.Messpunkte = 280;  // level lines 560 pixels long, frequency lines 400
    dm_diagramm(g.inst);
    g.inst.fenster.setText(Control::Label5, "Durchgangsmessung  Kopf");
    const std::string pdf = exported(g.inst, "seite.pdf");
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    for (const char* name : {"pdfimages", "pdffonts", "pdftotext", "pdftoppm"})
        if (tool(name).isEmpty()) GTEST_SKIP() << name << " is not installed";
    const auto bilder = runTool(tool("pdfimages"), {"-list", "seite.pdf"});
    ASSERT_TRUE(bilder);
    EXPECT_EQ(bilder->split('\n', Qt::SkipEmptyParts).size(), 2) << "no picture, only vectors";
    const auto fonts = runTool(tool("pdffonts"), {"seite.pdf"});
    ASSERT_TRUE(fonts);
    const QStringList lines = fonts->split('\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_FALSE(lines.isEmpty());
    for (const QString& z : lines)  // name type encoding emb sub uni object ID
        EXPECT_EQ(z.simplified().split(' ').at(z.simplified().split(' ').size() - 5), "yes") << z.toStdString();
    const auto text = runTool(tool("pdftotext"), {"seite.pdf", "-"});
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->simplified().contains("Durchgangsmessung Kopf")) << text->toStdString();
    EXPECT_TRUE(text->contains("Bandbreite:"));
    EXPECT_TRUE(text->contains("transmission, log detector, attenuator 0 dB"));
    ASSERT_TRUE(runTool(tool("pdftoppm"), {"-r", "300", "-gray", "-png", "seite.pdf", "s"}));
    const auto [across, down] = longestDarkRuns(QImage("s-1.png"));
    EXPECT_NEAR(across / double(down), 560.0 / 400.0, 0.01 * 1.4) << across << " x " << down;
}

TEST(Dat, IsTheSeriesFile) {
    test::WorkDir dir;
    const Drawn g;
    std::string erwartet;
    {
        std::lock_guard lock(g.inst.datenMutex);
        erwartet = messreiheSchreiben(g.inst);
    }
    EXPECT_EQ(exported(g.inst, "reihe.DAT"), erwartet);
    EXPECT_EQ(erwartet.substr(0, 24), "Durchgangsmessung VEKA\r\n");
}

}  // namespace
}  // namespace veka
