#pragma once
// The thumbnail slot records: which entry owns which slot of PcImageList, and when the slot
// was filled. At most 80 records exist (the caller keeps that bound).
#include <cstdint>
#include <vector>

constexpr int MaxThumbnailSlots = 80;

struct TImageListCache {
    int32_t ImageIndex = 0; // the slot in PcImageList (3 or more)
    int32_t ItemIndex = 0;  // the entry of PcImages whose thumbnail is in the slot
    int32_t Stamp = 0;      // fill order: 1 for the first thumbnail after a listing
};

class TImgCache
{
public:
    // The first / last record in list order whose ItemIndex is itemIndex, or nullptr.
    TImageListCache *Find(int32_t itemIndex);
    TImageListCache *FindLast(int32_t itemIndex);
    // The largest stamp, 0 when there is no record.
    int32_t MaxStamp() const;
    // Appends a record; returns its position.
    int Add(int32_t itemIndex, int32_t imageIndex, int32_t stamp);
    int32_t Count() const { return static_cast<int32_t>(records.size()); }
    void Clear() { records.clear(); }
    std::vector<TImageListCache> &Records() { return records; }

private:
    std::vector<TImageListCache> records;
};
