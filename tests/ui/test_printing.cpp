#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

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

}  // namespace
}  // namespace veka
