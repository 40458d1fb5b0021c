#include "bsearchtree.h"

#include <memory>

namespace
{

thashitem *findItem(const thashtable &registry, std::string_view key)
{
    for (tlinklist *node = registry[hashIndex(key)]; node; node = node->next) {
        auto *item = static_cast<thashitem *>(node);
        if (item->s == key)
            return item;
    }
    return nullptr;
}

} // namespace

// Six bits of shift per character spread short decimal keys over all the
// buckets; folding the high half in keeps long keys from crowding the low
// buckets.
std::int32_t hashIndex(std::string_view key)
{
    std::uint32_t h = 0;
    for (const char character : key)
        h = (h << 6) ^ static_cast<std::uint8_t>(character);
    return static_cast<std::int32_t>((h ^ (h >> 16)) & (hashBucketCount - 1));
}

void hashAdd(thashtable &registry, std::string_view key, void *value)
{
    const std::int32_t bucket = hashIndex(key);
    linkAtHead(registry[bucket], new thashitem(bucket, key, value));
}

void hashRemove(thashtable &registry, std::string_view key)
{
    thashitem *item = findItem(registry, key);
    if (!item)
        return;
    unlinkItem(registry[item->hash], item);
    std::unique_ptr<thashitem> released(item);
}

void *hashFind(const thashtable &registry, std::string_view key)
{
    const thashitem *item = findItem(registry, key);
    return item ? item->p : nullptr;
}

void hashClear(thashtable &registry)
{
    for (tlinklist *&head : registry) {
        while (head) {
            std::unique_ptr<tlinklist> first(head);
            head = first->next;
        }
    }
}
