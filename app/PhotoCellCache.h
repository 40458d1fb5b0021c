#pragma once

#include <QByteArray>
#include <QCache>
#include <QImage>
#include <QSize>

#include <functional>

// The photos of the object list, decoded at the size of their cells. A
// repaint draws from here instead of reading and decoding every photo
// again; the cache holds a few megabytes of small pictures and forgets the
// least recently drawn first. An object whose photo cannot be shown (none,
// or not a JPEG) is remembered as a null picture.
class PhotoCellCache
{
public:
    explicit PhotoCellCache(qsizetype maxBytes = 8 * 1024 * 1024);

    // The picture of the object for a cell of this size; loadPhoto reads the
    // stored bytes and is called only when the picture is not at hand.
    QImage picture(int objectId, const QSize &cellSize, const std::function<QByteArray()> &loadPhoto);

    // The object's photo changed: its pictures are decoded anew.
    void forget(int objectId);
    void clear();

private:
    struct Key {
        int objectId;
        int width;
        int height;
        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.objectId, key.width, key.height);
        }
    };

    QCache<Key, QImage> m_pictures;
};
