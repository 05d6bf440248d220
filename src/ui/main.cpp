// Program entry: the main window (whose start-up runs first), the about window, the settings
// dialog and the value input box, then the event loop.
#include <QApplication>

#include "ui/einstell.h"
#include "ui/vek32.h"
#include "ui/vekinfo.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt's own dialogs speak the window's language: German.
    QTranslator qtTexte;
    veka::qtTexteDeutsch(qtTexte);

    std::optional<std::string> configArgument;
    if (argc > 1) configArgument = argv[1];

    veka::TForm1 hauptfenster;
    hauptfenster.FormCreate(configArgument);
    veka::Tinfo info(&hauptfenster);
    hauptfenster.setInfo(&info);
    veka::TEin einstellungen(hauptfenster.logik().inst(), &hauptfenster);
    hauptfenster.setOptionen([&hauptfenster, &einstellungen] {
        veka::Bandbreite1Click(hauptfenster.logik(), einstellungen);
    });
    hauptfenster.show();
    return app.exec();
}
