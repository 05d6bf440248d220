// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/vector_diagram.h"

#include <QFont>
#include <QPolygonF>
#include <algorithm>

#include "display/quickdraw.h"

namespace veka {

namespace {

// Pixel (x, y) of the picture covers the unit square from (x, y); lines run through centres.
constexpr double kCentre = 0.5;

QColor colour(uint8_t index) {
    return QColor::fromRgb(Halbtonpalette()[index]);
}

QPen pen(uint8_t index) {
    QPen p(colour(index), 1.0);
    p.setCapStyle(Qt::SquareCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

// A coordinate kept near the picture: farther out is invisible anyway, and int32 values
// must not reach the drawing as huge floats.
double near(int64_t v, int bound) {
    return static_cast<double>(std::clamp<int64_t>(v, -bound, 2 * bound)) + kCentre;
}

void paintGrid(QPainter& p, const VectorGrid& g) {
    for (const auto& l : g.lines) {
        p.setPen(pen(l.colour));
        p.drawLine(QPointF(near(l.x1, 641), near(l.y1, 481)),
                   QPointF(near(l.x2, 641), near(l.y2, 481)));
    }
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(10);
    p.setFont(font);
    for (const auto& t : g.labels) {
        p.setPen(colour(t.colour));
        // The 8 x 8 cell starts at (x + 1, y + 1); the text's base line sits at its bottom.
        p.drawText(QPointF(near(t.x, 641) + 0.5, near(t.y, 481) + 8.5),
                   QString::fromStdString(t.text));
    }
}

// Point k at the sweep's x = 30 + 2k + 1 and y = 410 - value.
void paintCurve(QPainter& p, const std::array<int32_t, MaxPunkte + 1>& values, int n,
                uint8_t index) {
    if (n < 1) return;
    QPolygonF points;
    for (int k = 1; k <= n; ++k) {
        const int64_t x = DiagrammLinks + 2 * k + 1;
        const int64_t y = int64_t{DiagrammUnten} - values[static_cast<size_t>(k)];
        points << QPointF(near(x, 641), near(y, 481));
    }
    p.setPen(pen(index));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(points);
}

}  // namespace

void paintDiagram(QPainter& p, const TraceSnapshot& a) {
    p.save();
    p.setClipRect(QRectF(0, 0, Anzeigebitmap::Breite, Anzeigebitmap::Hoehe));
    p.fillRect(QRectF(0, 0, Anzeigebitmap::Breite, Anzeigebitmap::Hoehe), colour(a.background));
    paintGrid(p, a.vectors);
    paintCurve(p, a.values, a.points, a.curve);
    if (a.mode == SmithModus) paintCurve(p, a.values2, a.points, a.cursor);
    p.restore();
}

}  // namespace veka
