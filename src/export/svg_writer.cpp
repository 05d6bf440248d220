// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/svg_writer.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSvgGenerator>

#include "export/vector_diagram.h"

namespace veka {

std::optional<std::string> encodeSvg(const TraceSnapshot& a) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(Anzeigebitmap::Breite, Anzeigebitmap::Hoehe));
    svg.setViewBox(QRect(0, 0, Anzeigebitmap::Breite, Anzeigebitmap::Hoehe));
    svg.setResolution(96);  // one picture pixel is one CSS pixel
    svg.setTitle(QString::fromStdString(a.window.text(Control::Label5)));
    svg.setDescription(QString::fromStdString(captionOf(a)));
    QPainter p;
    if (!p.begin(&svg)) return std::nullopt;
    paintDiagram(p, a);
    if (!p.end()) return std::nullopt;
    // The generator gives the size in millimetres, which renderers round up to 642 x 482
    // pixels: state it in pixels.
    QString text = QString::fromUtf8(bytes);
    static const QRegularExpression size(QStringLiteral(R"(<svg width="[^"]*" height="[^"]*")"));
    text.replace(size, QStringLiteral(R"(<svg width="641px" height="481px")"));
    const QByteArray out = text.toUtf8();
    return std::string(out.constData(), static_cast<size_t>(out.size()));
}

}  // namespace veka
