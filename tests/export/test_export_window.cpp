// SPDX-License-Identifier: GPL-3.0-or-later
// "Exportieren …" in the main window: its place in the file menu, its lock-out during a sweep,
// the file it writes and the error box; and the save dialog's file types.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <filesystem>

#include "export/export_format.h"
#include "measure/sweep.h"
#include "support/fake_ui.h"
#include "support/work_dir.h"
#include "ui/qt_user_interface.h"
#include "ui/vek32.h"

namespace veka {
namespace {

TEST(ExportDialog, EachFileTypeGivesItsExtension) {
    const std::pair<const char*, const char*> faelle[] = {
        {"CSV-Tabelle (*.csv)", "csv"}, {"Alle (*.*)", ""},  {"Bilder (*.png *.jpg)", ""},
        {"Daten (*.dat) ", "dat"},      {"ohne Muster", ""},
    };
    for (const auto& [eintrag, endung] : faelle)
        EXPECT_EQ(filterSuffix(QString::fromUtf8(eintrag)), QString::fromUtf8(endung)) << eintrag;
    const QStringList typen = qtFilter(exportFilter()).split(";;");
    ASSERT_EQ(typen.size(), 6);
    for (const QString& typ : typen)
        EXPECT_TRUE(formatOfName("x." + filterSuffix(typ).toStdString()));
    // A name with a dot of its own still gets the chosen type's extension; one that already
    // names a type keeps it.
    const char* cfg = "Konfiguration|*.cfg|Alle|*.*";
    const struct {
        const char* name;
        std::string filter;
        const char* endung;
        const char* ergebnis;
    } namen[] = {
        {"quarzfilter_10.7MHz", exportFilter(), "csv", "quarzfilter_10.7MHz.csv"},
        {"/tmp/a.b/kurve", exportFilter(), "png", "/tmp/a.b/kurve.png"},
        {"kurve.SVG", exportFilter(), "csv", "kurve.SVG"},
        {"kurve.csv", exportFilter(), "csv", "kurve.csv"},
        {"messung.2", cfg, "cfg", "messung.2.cfg"},
        {"messung.2", cfg, "", "messung.2"},  // "Alle": as typed
    };
    for (const auto& n : namen)
        EXPECT_EQ(mitEndung(n.name, n.filter, n.endung).toStdString(), n.ergebnis) << n.name;
}

QMenu* dateiMenue(TForm1& w) {
    return w.menuBar()->actions().value(0)->menu();
}

TEST(ExportMenu, RightAfterPrintingAndLockedDuringASweep) {
    TForm1 w;
    w.spiegeln();
    QAction* exportTrace = w.action(Control::Exportieren1);
    ASSERT_NE(exportTrace, nullptr);
    EXPECT_EQ(exportTrace->text(), QString::fromUtf8("Exportieren …"));
    const QList<QAction*> entries = dateiMenue(w)->actions();
    const qsizetype drucken = entries.indexOf(w.action(Control::Diagrammdrucken1));
    ASSERT_GE(drucken, 0);
    EXPECT_EQ(entries.value(drucken + 1), exportTrace);
    EXPECT_TRUE(exportTrace->isEnabled());
    sperrenWaehrendMessung(w.logik().inst().fenster, true);
    w.spiegeln();
    EXPECT_FALSE(exportTrace->isEnabled());
    sperrenWaehrendMessung(w.logik().inst().fenster, false);
    w.spiegeln();
    EXPECT_TRUE(exportTrace->isEnabled());
}

TEST(ExportMenu, WritesTheChosenFileOrShowsTheError) {
    test::WorkDir dir;
    test::FakeUi ui;
    TForm1 w(&ui);
    ui.files = {std::string("kurve.svg"), std::string("fehlt/kurve.svg")};
    w.action(Control::Exportieren1)->trigger();
    EXPECT_TRUE(std::filesystem::exists("kurve.svg"));
    EXPECT_TRUE(ui.errors.empty());
    w.action(Control::Exportieren1)->trigger();
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[1].offeredName, "kurve.svg") << "the last name is offered again";
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("fehlt/kurve.svg"), std::string::npos) << ui.errors[0];
}

}  // namespace
}  // namespace veka
