#include "localbrowser/ImgCache.h"

#include <algorithm>

TImageListCache *TImgCache::Find(int32_t itemIndex)
{
    for (TImageListCache &r : records)
        if (r.ItemIndex == itemIndex)
            return &r;
    return nullptr;
}

TImageListCache *TImgCache::FindLast(int32_t itemIndex)
{
    for (auto it = records.rbegin(); it != records.rend(); ++it)
        if (it->ItemIndex == itemIndex)
            return &*it;
    return nullptr;
}

int32_t TImgCache::MaxStamp() const
{
    int32_t best = 0;
    for (const TImageListCache &r : records)
        best = std::max(best, r.Stamp);
    return best;
}

int TImgCache::Add(int32_t itemIndex, int32_t imageIndex, int32_t stamp)
{
    records.push_back({imageIndex, itemIndex, stamp});
    return static_cast<int>(records.size()) - 1;
}
