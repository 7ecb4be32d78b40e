#include "app/compose/ChannelMerge.h"

#include "app/compose/ChannelMergeNative.h"
#include "app/store/ImageStore.h"
#include "xImage.h"

int MergeChannelPictures(const std::vector<const CxImage*>& channels,
                         const std::vector<POINT>& offsets, CxImage* result)
{
    if (channels.empty() || channels.size() != offsets.size() || !result)
        return CHANNEL_MERGE_FAILED;
    for (const CxImage* c : channels)
        if (!c || !c->IsValid())
            return CHANNEL_MERGE_FAILED;
    if (channels.size() == 1) {
        result->Copy(*channels[0]);
        return result->IsValid() ? CHANNEL_MERGE_DONE : CHANNEL_MERGE_FAILED;
    }
    const DWORD w = channels[0]->GetWidth(), h = channels[0]->GetHeight();
    CxImage sum(*channels[0]);
    if (!sum.IsValid() || (sum.GetBpp() != 24 && !sum.IncreaseBpp(24)))
        return CHANNEL_MERGE_FAILED;
    for (size_t i = 1; i < channels.size(); ++i) {
        if (channels[i]->GetWidth() != w || channels[i]->GetHeight() != h)
            return CHANNEL_MERGE_SIZES_DIFFER;
        // Only a channel of another depth is copied (to convert it).
        const CxImage* source = channels[i];
        CxImage converted;
        if (source->GetBpp() != 24) {
            converted.Copy(*source);
            if (!converted.IsValid() || !converted.IncreaseBpp(24))
                return CHANNEL_MERGE_FAILED;
            source = &converted;
        }
        // Rows are stored bottom-up in both: the sum runs over the same rows.
        AddChannelSaturating(sum.GetBits(0), int(sum.GetEffWidth()), source->GetBits(0),
                             int(source->GetEffWidth()), int(w), int(h));
    }
    std::vector<int> flat;
    bool shifted = false;
    for (const POINT& p : offsets) {
        flat.push_back(p.x);
        flat.push_back(p.y);
        shifted = shifted || p.x || p.y;
    }
    if (!shifted) {
        result->Transfer(sum);
        return CHANNEL_MERGE_DONE;
    }
    const MergeCrop crop = CropForOffsets(reinterpret_cast<const int(*)[2]>(flat.data()),
                                          int(offsets.size()), int(w), int(h));
    if (crop.right <= crop.left || crop.bottom <= crop.top)
        return CHANNEL_MERGE_FAILED;
    return sum.Crop(crop.left, crop.top, crop.right, crop.bottom, result) ? CHANNEL_MERGE_DONE
                                                                           : CHANNEL_MERGE_FAILED;
}

int CImageStore::MergeChannels(const std::vector<CImageStore*>& stores,
                               const std::vector<POINT>& offsets, const CString& path)
{
    // Copies taken under each store's lock; the merge runs outside them.
    std::vector<CxImage> copies;
    std::vector<POINT> used;
    copies.reserve(stores.size());
    for (size_t i = 0; i < stores.size() && i < offsets.size(); ++i) {
        CImageStore* store = stores[i];
        if (!store || !store->HasImage())
            continue;
        CSingleLock lock(&store->m_lock, TRUE);
        if (CxImage* image = store->GetCurrentImage()) {
            copies.emplace_back(*image);
            used.push_back(offsets[i]);
        }
    }
    if (copies.empty())
        return CHANNEL_MERGE_FAILED;
    std::vector<const CxImage*> channels;
    for (const CxImage& c : copies)
        channels.push_back(&c);
    CxImage result;
    const int merged = MergeChannelPictures(channels, used, &result);
    if (merged != CHANNEL_MERGE_DONE)
        return merged;
    return SaveImageFile(&result, path) ? CHANNEL_MERGE_DONE : CHANNEL_MERGE_FAILED;
}
