#include "export/svg_writer.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <QSvgGenerator>
#include <algorithm>

#include "display/quickdraw.h"

namespace veka {

namespace {

// Pixel (x, y) of the picture covers the unit square from (x, y); lines run through centres.
constexpr double kMitte = 0.5;

QColor farbe(uint8_t index) {
    return QColor::fromRgb(Halbtonpalette()[index]);
}

QPen stift(uint8_t index) {
    QPen pen(farbe(index), 1.0);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// A coordinate kept near the picture: farther out is invisible anyway, and int32 values
// must not reach the drawing as huge floats.
double nahe(int64_t v, int grenze) {
    return static_cast<double>(std::clamp<int64_t>(v, -grenze, 2 * grenze)) + kMitte;
}

void drawGrid(QPainter& p, const VectorGrid& r) {
    for (const auto& l : r.lines) {
        p.setPen(stift(l.colour));
        p.drawLine(QPointF(nahe(l.x1, 641), nahe(l.y1, 481)),
                   QPointF(nahe(l.x2, 641), nahe(l.y2, 481)));
    }
    QFont schrift(QStringLiteral("DejaVu Sans Mono"));
    schrift.setStyleHint(QFont::Monospace);
    schrift.setPixelSize(10);
    p.setFont(schrift);
    for (const auto& t : r.labels) {
        p.setPen(farbe(t.colour));
        // The 8 x 8 cell starts at (x + 1, y + 1); the text's base line sits at its bottom.
        p.drawText(QPointF(nahe(t.x, 641) + 0.5, nahe(t.y, 481) + 8.5),
                   QString::fromStdString(t.text));
    }
}

// Point k at the sweep's x = 30 + 2k + 1 and y = 410 - value.
void drawTraceCurve(QPainter& p, const std::array<int32_t, MaxPunkte + 1>& werte, int n,
                uint8_t index) {
    if (n < 1) return;
    QPolygonF punkte;
    for (int k = 1; k <= n; ++k) {
        const int64_t x = DiagrammLinks + 2 * k + 1;
        const int64_t y = int64_t{DiagrammUnten} - werte[static_cast<size_t>(k)];
        punkte << QPointF(nahe(x, 641), nahe(y, 481));
    }
    p.setPen(stift(index));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(punkte);
}

}  // namespace

std::optional<std::string> encodeSvg(const TraceSnapshot& a) {
    QByteArray bytes;
    QBuffer puffer(&bytes);
    puffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&puffer);
    svg.setSize(QSize(Anzeigebitmap::Breite, Anzeigebitmap::Hoehe));
    svg.setViewBox(QRect(0, 0, Anzeigebitmap::Breite, Anzeigebitmap::Hoehe));
    svg.setResolution(96);  // one picture pixel is one CSS pixel
    svg.setTitle(QString::fromStdString(a.window.text(Control::Label5)));
    svg.setDescription(QStringLiteral("veka"));
    QPainter p;
    if (!p.begin(&svg)) return std::nullopt;
    p.fillRect(QRect(0, 0, Anzeigebitmap::Breite, Anzeigebitmap::Hoehe), farbe(a.background));
    drawGrid(p, a.grid);
    drawTraceCurve(p, a.values, a.points, a.curve);
    if (a.mode == SmithModus) drawTraceCurve(p, a.values2, a.points, a.cursor);
    if (!p.end()) return std::nullopt;
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace veka
