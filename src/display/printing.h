// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The printed page: headline, the window picture stretched into a rectangle, and eight
// result lines, all placed from the printable width alone.

#include <QPagedPaintDevice>
#include <QPainter>
#include <array>
#include <functional>
#include <string>

#include "display/quickdraw.h"
#include "state/window_model.h"

namespace veka {

struct Druckseite {
    int h = 0;  // a tenth of the printable width
    struct Text {
        int x, y;
        std::string text;
    };
    Text kopf;                                       // the headline
    int links = 0, oben = 0, rechts = 0, unten = 0;  // the diagram rectangle
    std::array<Text, 8> zeilen;                      // the result lines
};

// Positions and texts for a printable width of breite device pixels; the texts come from the
// window's labels as they stand.
Druckseite druckseite(int breite, const WindowModel& fenster);

// Draws the page; the painter keeps its default font, pen and brush. The picture goes in
// unsmoothed and, on a PDF device, losslessly: every screen pixel becomes a sharp block.
void seiteZeichnen(QPainter& painter, const Druckseite& seite, const Anzeigebitmap& bild);
// The same with the diagram drawn into the page's rectangle by `diagramm`.
void seiteZeichnen(QPainter& painter, const Druckseite& seite,
                   const std::function<void(QPainter&, const QRect&)>& diagramm);

// One page on any paged device (a printer, a PDF writer), laid out from the device's printable
// width; false when the device cannot be painted on.
bool seiteAusgeben(QPagedPaintDevice& geraet, const WindowModel& fenster,
                   const Anzeigebitmap& bild);

// The window picture as an image with the halftone palette.
QImage alsBild(const Anzeigebitmap& bild);

}  // namespace veka
