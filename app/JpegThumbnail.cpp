#include "JpegThumbnail.h"

#include <QBuffer>
#include <QImageReader>

QSize fittedSize(const QSize &picture, const QSize &box)
{
    if (picture.isEmpty() || box.isEmpty())
        return {};
    return picture.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage decodeJpegThumbnail(const QByteArray &bytes, const QSize &box)
{
    if (bytes.isEmpty() || box.isEmpty())
        return {};
    QByteArray data(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        return {};
    const QSize target = fittedSize(reader.size(), box);
    if (target.isEmpty())
        return {};
    reader.setScaledSize(target);
    return reader.read();
}
