#pragma once

#include "blinklist.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// A hash table of text keys, one doubly linked list per bucket. A key added
// twice is present twice; the later item is found first.
class thashitem : public tlinklist
{
public:
    thashitem(std::int32_t bucket, std::string_view key, void *value) : hash(bucket), s(key), p(value) {}

    std::int32_t hash; // the bucket of the key, 0 to hashBucketCount - 1
    std::string s;     // the key
    void *p;           // the value
};

constexpr std::int32_t hashBucketCount = 16384;

// The bucket heads, each null or the first item of its bucket. The table
// owns its items: hashRemove and hashClear free them.
using thashtable = std::array<tlinklist *, hashBucketCount>;

std::int32_t hashIndex(std::string_view key);

// Puts a new item for key first in its bucket, without looking for an equal
// key.
void hashAdd(thashtable &registry, std::string_view key, void *value);

// Unlinks and frees the first item of key's bucket that has this key;
// nothing when there is none.
void hashRemove(thashtable &registry, std::string_view key);

// The value of the first item of key's bucket that has this key, or null.
void *hashFind(const thashtable &registry, std::string_view key);

// Frees every item and leaves every bucket empty.
void hashClear(thashtable &registry);
