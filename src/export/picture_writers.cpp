// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/picture_writers.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "display/printing.h"
#include "export/vector_diagram.h"

namespace veka {

namespace {

std::string bytesOf(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// The diagram at one scale across and down, as large as the rectangle allows, centred in it.
void paintFitted(QPainter& p, const QRect& r, const TraceSnapshot& a) {
    const double scale = std::min(r.width() / double{Anzeigebitmap::Breite},
                                  r.height() / double{Anzeigebitmap::Hoehe});
    p.translate(r.x() + (r.width() - scale * Anzeigebitmap::Breite) / 2,
                r.y() + (r.height() - scale * Anzeigebitmap::Hoehe) / 2);
    p.scale(scale, scale);
    paintDiagram(p, a);
}

}  // namespace

std::optional<std::string> encodePng(const Anzeigebitmap& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(alsBild(picture))) return std::nullopt;
    return bytesOf(bytes);
}

std::optional<std::string> encodePdf(const TraceSnapshot& a) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        pdf.setResolution(600);
        pdf.setTitle(QString::fromStdString(a.window.text(Control::Label5)));
        pdf.setCreator(QStringLiteral("veka"));
        QPainter painter;
        if (!painter.begin(&pdf)) return std::nullopt;
        const Druckseite page = druckseite(pdf.width(), a.window);
        seiteZeichnen(painter, page,
                      [&a](QPainter& p, const QRect& r) { paintFitted(p, r, a); });
        const Druckseite::Text& last = page.zeilen.back();
        painter.drawText(QRect(last.x, last.y + 2 * (page.zeilen[1].y - page.zeilen[0].y),
                               page.rechts - page.links, page.h),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         QString::fromStdString(captionOf(a)));
        if (!painter.end()) return std::nullopt;
    }
    return bytesOf(bytes);
}

}  // namespace veka
