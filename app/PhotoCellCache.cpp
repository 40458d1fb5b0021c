#include "PhotoCellCache.h"

#include "JpegThumbnail.h"

namespace
{
// A null picture still takes a slot, so that it counts towards the bound.
constexpr qsizetype smallestCost = 64;
} // namespace

PhotoCellCache::PhotoCellCache(qsizetype maxBytes) : m_pictures(maxBytes) {}

QImage PhotoCellCache::picture(int objectId, const QSize &cellSize,
                               const std::function<QByteArray()> &loadPhoto)
{
    const Key key{objectId, cellSize.width(), cellSize.height()};
    if (const QImage *cached = m_pictures.object(key))
        return *cached;
    QImage decoded = decodeJpegThumbnail(loadPhoto(), cellSize);
    m_pictures.insert(key, new QImage(decoded), qMax(smallestCost, decoded.sizeInBytes()));
    return decoded;
}

void PhotoCellCache::forget(int objectId)
{
    const auto keys = m_pictures.keys();
    for (const Key &key : keys) {
        if (key.objectId == objectId)
            m_pictures.remove(key);
    }
}

void PhotoCellCache::clear()
{
    m_pictures.clear();
}
