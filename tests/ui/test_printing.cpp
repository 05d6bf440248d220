// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <vector>

#include "display/printing.h"
#include "support/fake_ui.h"
#include "ui/drucken.h"

namespace veka {
namespace {

TEST(Druckseite, PositionsFromThePrintableWidth) {
    WindowModel fenster;
    fenster.setText(Control::Label5, "Durchgangsmessung  Kopf");
    fenster.setText(Control::Label12, "10.000.000 Hz");
    const Druckseite s = druckseite(4800, fenster);
    EXPECT_EQ(s.h, 480);
    EXPECT_EQ(s.kopf.x, 480);
    EXPECT_EQ(s.kopf.y, 480);
    EXPECT_EQ(s.kopf.text, "Durchgangsmessung  Kopf");
    EXPECT_EQ((std::array{s.links, s.oben, s.rechts, s.unten}), (std::array{480, 960, 4320, 3720}));
    const int zeilen[] = {4200, 4296, 4392, 4488, 4584, 4680, 4776, 4872};
    for (size_t n = 0; n < 8; ++n) {
        EXPECT_EQ(s.zeilen[n].x, 480);
        EXPECT_EQ(s.zeilen[n].y, zeilen[n]);
    }
    // Before any sweep only the marker line carries a value.
    EXPECT_EQ(s.zeilen[0].text, "Marker   :        10.000.000 Hz");
    EXPECT_EQ(s.zeilen[1].text, "");
    EXPECT_EQ(s.zeilen[2].text, "Maximum   :        ");
    EXPECT_EQ(s.zeilen[7].text, "Bandbreite:        ");
}

TEST(Druckseite, RoundsHalvesToEven) {
    WindowModel fenster;
    const Druckseite s = druckseite(25, fenster);  // h = 2.5, R = 0.5
    EXPECT_EQ(s.h, 2);
    EXPECT_EQ(s.rechts, 22);  // 22.5
    EXPECT_EQ(s.zeilen[1].y - s.zeilen[0].y, 0);
}

TEST(Drucken, PageIntoAPdfFile) {
    QTemporaryDir dir;
    test::FakeUi ui;
    Netzwerktester logik(ui);
    WindowModel& fenster = logik.inst().fenster;
    fenster.setText(Control::Label5, "Durchgangsmessung  Sperrkreis");
    fenster.setText(Control::Label7, "10.140.000 Hz 0 dB");
    fenster.setText(Control::Label11, "144.000 Hz (6 dB)");
    QPrinter drucker(QPrinter::HighResolution);
    drucker.setOutputFormat(QPrinter::PdfFormat);
    const QString datei = dir.filePath("seite.pdf");
    drucker.setOutputFileName(datei);
    ASSERT_TRUE(seiteDrucken(drucker, logik));
    EXPECT_GT(drucker.width(), 1000);
    EXPECT_GT(QFile(datei).size(), 1000);

    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    QProcess p;
    p.start(pdftotext, {"-layout", datei, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    // pdftotext lays the page out anew: compare with runs of blanks folded.
    const QString text = QString::fromUtf8(p.readAllStandardOutput()).simplified();
    for (const char* teil :
         {"Durchgangsmessung  Sperrkreis", "Marker   :", "Maximum   :", "10.140.000 Hz 0 dB",
          "Minimum   :", "Fmin      :", "Fmax      :", "Bandbreite:", "144.000 Hz (6 dB)"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(teil).simplified())) << teil << "\n"
                                                                         << text.toStdString();
}

// Runs a poppler tool; its standard output, or nothing when it is missing or fails.
std::optional<QString> poppler(const char* tool, const QStringList& args) {
    const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
    if (program.isEmpty()) return std::nullopt;
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The images of a PDF file as "pdfimages -list" reports them: type, width, height,
// encoding, interpolation.
std::vector<QStringList> imagesIn(const QString& pdf) {
    std::vector<QStringList> images;
    const std::optional<QString> list = poppler("pdfimages", {"-list", pdf});
    if (!list) return images;
    for (const QString& line : list->split(u'\n')) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() > 9 && f[0] != "page" && !f[0].startsWith(u'-'))
            images.push_back({f[2], f[3], f[4], f[8], f[9]});
    }
    return images;
}

// Pixels of the extracted image, sampled at the centre of each screen pixel, that differ from
// the screen picture.
int differingPixels(const QImage& extracted, const QImage& screen) {
    int differ = 0;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            const int ex = (2 * x + 1) * extracted.width() / (2 * screen.width());
            const int ey = (2 * y + 1) * extracted.height() / (2 * screen.height());
            if (extracted.pixel(ex, ey) != screen.pixel(x, y)) ++differ;
        }
    }
    return differ;
}

// The printed picture is the screen's, pixel for pixel: embedded losslessly, drawn without
// smoothing, whether through the print command's printer or any other paged device.
TEST(Drucken, PdfHoldsTheScreenPictureExactly) {
    test::FakeUi ui;
    Netzwerktester logik(ui);
    logik.Button8Click();  // the transmission grid with its 1-pixel lines and digits
    logik.Timer2Timer();
    const QImage screen = alsBild(logik.anzeige()).convertToFormat(QImage::Format_RGB32);
    int drawn = 0;  // a picture worth comparing: grid lines and scale digits
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) drawn += screen.pixel(x, y) != screen.pixel(0, 0);
    ASSERT_GT(drawn, 1000);
    QTemporaryDir dir;
    const struct {
        const char* name;
        std::function<bool(const QString&)> print;
    } devices[] = {
        {"printer",
         [&](const QString& file) {
             QPrinter drucker(QPrinter::HighResolution);
             drucker.setOutputFormat(QPrinter::PdfFormat);
             drucker.setOutputFileName(file);
             return seiteDrucken(drucker, logik);
         }},
        {"pdf writer",
         [&](const QString& file) {
             QPdfWriter writer(file);
             writer.setResolution(600);
             return seiteAusgeben(writer, logik.inst().fenster, logik.anzeige());
         }},
    };
    for (const auto& d : devices) {
        SCOPED_TRACE(d.name);
        const QString pdf = dir.filePath(QString::fromLatin1(d.name) + ".pdf");
        ASSERT_TRUE(d.print(pdf));
        if (!poppler("pdfimages", {"-v"})) GTEST_SKIP() << "pdfimages is not installed";
        const std::vector<QStringList> images = imagesIn(pdf);
        ASSERT_EQ(images.size(), 1u);
        const QStringList& image = images.front();
        EXPECT_EQ(image[0].toStdString(), "image");
        EXPECT_EQ(image[1].toStdString(), "641");
        EXPECT_EQ(image[2].toStdString(), "481");
        EXPECT_NE(image[3].toStdString(), "jpeg");  // lossless
        EXPECT_EQ(image[4].toStdString(), "no");    // not smoothed when stretched
        const QString prefix = dir.filePath(QString::fromLatin1(d.name));
        ASSERT_TRUE(poppler("pdfimages", {"-png", pdf, prefix}));
        const QImage extracted(prefix + "-000.png");
        ASSERT_FALSE(extracted.isNull());
        EXPECT_EQ(differingPixels(extracted.convertToFormat(QImage::Format_RGB32), screen), 0);
    }
}

}  // namespace
}  // namespace veka
