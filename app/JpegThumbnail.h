#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Decodes a JPEG file's bytes into a picture that fits the box, keeping its
// proportions. The decoder scales while it decodes, so a large photo costs
// a fraction of a full decode. A null picture when the bytes are empty or
// not a JPEG.
QImage decodeJpegThumbnail(const QByteArray &bytes, const QSize &box);

// The size of a picture of the given size fitted into the box.
QSize fittedSize(const QSize &picture, const QSize &box);
