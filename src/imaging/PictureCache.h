#pragma once

// Decoded pictures kept for the next step: the neighbours decoded ahead and the
// pictures shown last, within a memory budget, least recently used first out.

#include "imaging/Picture.h"

#include <list>
#include <utility>

namespace imaging {

class PictureCache {
public:
    /// About 256 MB of pixels: two hundred previews of a full-HD pane.
    static constexpr qint64 DefaultBudget = 256LL * 1024 * 1024;

    explicit PictureCache(qint64 budgetBytes = DefaultBudget) : budget_(budgetBytes) {}

    /// The picture kept under `key`, which becomes the most recently used;
    /// nullptr when there is none. The pointer is valid until the next Insert.
    const Picture* Find(const PictureKey& key);
    /// Whether `key` is kept, without touching its place in the order.
    bool Contains(const PictureKey& key) const;
    /// Keeps `picture` under `key` as the most recently used (replacing what
    /// was kept under it), then drops the least recently used until the
    /// pixels fit the budget. Only pictures that decoded are kept; one larger
    /// than the whole budget is not.
    void Insert(const PictureKey& key, const Picture& picture);
    void Clear() { entries_.clear(), bytes_ = 0; }

    qint64 Bytes() const { return bytes_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    qint64 Budget() const { return budget_; }

private:
    using Entry = std::pair<PictureKey, Picture>;
    std::list<Entry>::iterator find(const PictureKey& key);

    qint64 budget_;
    qint64 bytes_ = 0;
    std::list<Entry> entries_; // most recently used first
};

} // namespace imaging
