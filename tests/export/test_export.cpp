#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <mutex>

#include "display/diagram.h"
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
    };
    for (const auto& [pfad, format] : faelle) EXPECT_EQ(formatOfName(pfad), format) << pfad;
    EXPECT_EQ(exportFilter(),
              "CSV-Tabelle|*.csv|PNG-Bild|*.png|SVG-Grafik|*.svg|PDF-Seite|*.pdf|Messreihe|*.dat");
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

TraceSnapshot aufnahmeMit(bool linear) {
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
    a.factors = Korrfaktorpaar{47, 260};
    a.heading = "Filter, \"neu\"";
    return a;
}

TEST(Csv, CommentsHeaderAndOneLinePerPoint) {
    struct Fall {
        bool linear;
        const char* kopf;
        const char* pegel[3];
    } faelle[] = {
        {false, "Frequenz (Hz),Anzeigewert,Pegel (dB)", {"-10", "0", "-80"}},
        {true, "Frequenz (Hz),Anzeigewert,Pegel (linear)", {"0.875", "1.000", "0.003"}},
    };
    for (const Fall& f : faelle) {
        const std::string csv = writeCsv(aufnahmeMit(f.linear), "2026-01-02T03:04:05");
        const std::string erwartet =
            std::string("# Messart,Durchgangsmessung\r\n# Detektor,") + (f.linear ? "lin" : "log") +
            "\r\n# Überschrift,\"Filter, \"\"neu\"\"\"\r\n# Exportiert,2026-01-02T03:04:05\r\n"
            "# Korrekturfaktor1,47\r\n# Korrekturfaktor2,260\r\n" +
            f.kopf + "\r\n2147483642,350," + f.pegel[0] + "\r\n2147483647,400," + f.pegel[1] +
            "\r\n-2147483644,1," + f.pegel[2] + "\r\n";
        EXPECT_EQ(csv, erwartet);
    }
}

TEST(Csv, ModesWithoutCorrectionSayNone) {
    TraceSnapshot a = aufnahmeMit(false);
    a.mode = Rohwerte;
    a.factors.reset();
    a.points = 0;
    const std::string csv = writeCsv(a, "t");
    EXPECT_NE(csv.find("# Messart,Rohwerte\r\n"), std::string::npos);
    EXPECT_NE(csv.find("# Korrekturfaktoren,keine\r\n"), std::string::npos);
    EXPECT_TRUE(
        csv.ends_with("\n# Korrekturfaktoren,keine\r\nFrequenz (Hz),Anzeigewert,Pegel (dB)\r\n"))
        << csv;
}

// An instrument with the grid of its mode and a curve in both surfaces.
struct Gezeichnet {
    explicit Gezeichnet(int32_t messart = Durchgang) {
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

std::string exportiert(const Instrument& inst, const std::string& name) {
    std::string fehler;
    EXPECT_TRUE(exportTrace(inst, name, &fehler)) << fehler;
    return test::dateiInhalt(name);
}

TEST(Png, IsTheWindowPicturePixelForPixelWithTheHalftonePalette) {
    test::WorkDir dir;
    const Gezeichnet g;
    exportiert(g.inst, "bild.png");
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

QString werkzeug(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Runs a tool; its standard output, or nothing when it failed.
std::optional<QString> ausfuehren(const QString& programm, const QStringList& argumente) {
    QProcess p;
    p.start(programm, argumente);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The polylines of an SVG with exactly n points (grid lines come out as two-point ones).
size_t polylinienMit(const std::string& svg, int n) {
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
        const Gezeichnet g(f.messart);
        const std::string svg = exportiert(g.inst, "d.svg");
        EXPECT_EQ(polylinienMit(svg, 40), f.kurven) << f.messart;
        EXPECT_NE(svg.find("viewBox=\"0 0 641 481\""), std::string::npos);
        EXPECT_EQ(svg.find("<text") != std::string::npos, f.texte) << f.messart;
        EXPECT_EQ(svg.find("<image"), std::string::npos) << "vectors only";
        if (f.messart == Durchgang) {
            EXPECT_NE(svg.find(">10.000.000 Hz</text>"), std::string::npos);
            EXPECT_NE(svg.find(">-80</text>"), std::string::npos);
        }
        const QString rsvg = werkzeug("rsvg-convert");
        if (rsvg.isEmpty()) GTEST_SKIP() << "rsvg-convert is not installed";
        EXPECT_TRUE(ausfuehren(rsvg, {"d.svg", "-o", "d.png"})) << f.messart;
        QImage bild;
        EXPECT_TRUE(bild.load("d.png")) << f.messart;
        EXPECT_GE(bild.width(), Anzeigebitmap::Breite);
    }
}

TEST(Pdf, ThePrintedPageWithThePictureLossless) {
    test::WorkDir dir;
    Gezeichnet g;
    g.inst.fenster.setText(Control::Label5, "Durchgangsmessung  Kopf");
    const std::string pdf = exportiert(g.inst, "seite.pdf");
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    const QString pdfimages = werkzeug("pdfimages");
    if (pdfimages.isEmpty()) GTEST_SKIP() << "pdfimages is not installed";
    const auto liste = ausfuehren(pdfimages, {"-list", "seite.pdf"});
    ASSERT_TRUE(liste);
    const QStringList zeilen = liste->split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(zeilen.size(), 3) << liste->toStdString();  // two heading lines, one image
    const QStringList spalten = zeilen[2].simplified().split(' ');
    EXPECT_EQ(spalten[3], "641");
    EXPECT_EQ(spalten[4], "481");
    EXPECT_EQ(spalten[8], "image") << "not a lossless image: " << zeilen[2].toStdString();
    EXPECT_EQ(spalten[9], "no") << "interpolated";
    const QString pdftotext = werkzeug("pdftotext");
    if (pdftotext.isEmpty()) return;
    const auto text = ausfuehren(pdftotext, {"seite.pdf", "-"});
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->simplified().contains("Durchgangsmessung Kopf")) << text->toStdString();
    EXPECT_TRUE(text->contains("Bandbreite:")) << text->toStdString();
}

TEST(Dat, IsTheSeriesFile) {
    test::WorkDir dir;
    const Gezeichnet g;
    std::string erwartet;
    {
        std::lock_guard lock(g.inst.datenMutex);
        erwartet = messreiheSchreiben(g.inst);
    }
    EXPECT_EQ(exportiert(g.inst, "reihe.DAT"), erwartet);
    EXPECT_EQ(erwartet.substr(0, 24), "Durchgangsmessung VEKA\r\n");
}

}  // namespace
}  // namespace veka
