// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/printing.h"

#include "state/instrument.h"

namespace veka {

Druckseite druckseite(int breite, const WindowModel& fenster) {
    const double H = breite;
    const double zehntel = H / 10.0;
    const double hoehe = (H - zehntel) * 3.0 / 4.0;
    Druckseite s;
    s.h = runden(zehntel);
    s.kopf = {s.h, s.h, fenster.text(Control::Label5)};
    s.links = s.h;
    s.oben = 2 * s.h;
    s.rechts = runden(H - zehntel);
    s.unten = runden(hoehe) + s.h;
    const int y0 = runden(hoehe + H / 5.0);
    const int abstand = runden(H / 50.0);
    const std::pair<const char*, Control> zeilen[] = {
        {"Marker   :        ", Control::Label12},
        {"", Control::Count},
        {"Maximum   :        ", Control::Label7},
        {"Minimum   :        ", Control::Label8},
        {"", Control::Count},
        {"Fmin      :        ", Control::Label9},
        {"Fmax      :        ", Control::Label10},
        {"Bandbreite:        ", Control::Label11},
    };
    for (size_t n = 0; n < s.zeilen.size(); ++n) {
        const auto [titel, quelle] = zeilen[n];
        std::string text = titel;
        if (quelle != Control::Count) text += fenster.text(quelle);
        s.zeilen[n] = {s.h, y0 + static_cast<int>(n) * abstand, text};
    }
    return s;
}

QImage alsBild(const Anzeigebitmap& bild) {
    QImage image(bild.data(), Anzeigebitmap::Breite, Anzeigebitmap::Hoehe,
                 Anzeigebitmap::Zeilenlaenge, QImage::Format_Indexed8);
    QList<QRgb> farben;
    for (uint32_t f : Halbtonpalette()) farben.append(f);
    image.setColorTable(farben);
    return image;
}

void seiteZeichnen(QPainter& painter, const Druckseite& seite,
                   const std::function<void(QPainter&, const QRect&)>& diagramm) {
    // Texts stand with their top-left corner at the given point.
    const auto schreiben = [&](const Druckseite::Text& t) {
        painter.drawText(QRect(t.x, t.y, 1 << 20, 1 << 20),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         QString::fromStdString(t.text));
    };
    schreiben(seite.kopf);
    painter.save();
    diagramm(painter, QRect(seite.links, seite.oben, seite.rechts - seite.links,
                            seite.unten - seite.oben));
    painter.restore();
    for (const auto& z : seite.zeilen) schreiben(z);
}

void seiteZeichnen(QPainter& painter, const Druckseite& seite, const Anzeigebitmap& bild) {
    seiteZeichnen(painter, seite, [&bild](QPainter& p, const QRect& r) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.setRenderHint(QPainter::LosslessImageRendering, true);
        p.drawImage(r, alsBild(bild));
    });
}

bool seiteAusgeben(QPagedPaintDevice& geraet, const WindowModel& fenster,
                   const Anzeigebitmap& bild) {
    QPainter painter;
    if (!painter.begin(&geraet)) return false;
    // The width the device can print on, in its own pixels.
    seiteZeichnen(painter, druckseite(geraet.width(), fenster), bild);
    return painter.end();
}

}  // namespace veka
