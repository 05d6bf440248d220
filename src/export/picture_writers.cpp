#include "export/picture_writers.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "display/printing.h"

namespace veka {

namespace {

std::string alsText(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

std::optional<std::string> encodePng(const Anzeigebitmap& bild) {
    QByteArray bytes;
    QBuffer puffer(&bytes);
    puffer.open(QIODevice::WriteOnly);
    QImageWriter schreiber(&puffer, "png");
    if (!schreiber.write(alsBild(bild))) return std::nullopt;
    return alsText(bytes);
}

std::optional<std::string> encodePdf(const TraceSnapshot& a) {
    QByteArray bytes;
    QBuffer puffer(&bytes);
    puffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&puffer);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        pdf.setResolution(600);
        pdf.setTitle(QString::fromStdString(a.window.text(Control::Label5)));
        pdf.setCreator(QStringLiteral("veka"));
        if (!seiteAusgeben(pdf, a.window, a.picture)) return std::nullopt;
    }
    return alsText(bytes);
}

}  // namespace veka
