#include "imaging/PictureCache.h"

#include <QFileInfo>
#include <algorithm>

namespace imaging {

PictureKey PictureKey::Of(const QString& path, QSize box) {
    const QFileInfo info(path);
    PictureKey key{path, box};
    if (info.exists()) {
        key.modifiedMs = info.lastModified().toMSecsSinceEpoch();
        key.length = info.size();
    }
    return key;
}

std::list<PictureCache::Entry>::iterator PictureCache::find(const PictureKey& key) {
    // A few hundred entries at most: a walk costs less than keeping an index.
    return std::find_if(entries_.begin(), entries_.end(),
                        [&key](const Entry& e) { return e.first == key; });
}

const Picture* PictureCache::Find(const PictureKey& key) {
    const auto it = find(key);
    if (it == entries_.end())
        return nullptr;
    entries_.splice(entries_.begin(), entries_, it);
    return &entries_.front().second;
}

bool PictureCache::Contains(const PictureKey& key) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&key](const Entry& e) { return e.first == key; });
}

void PictureCache::Insert(const PictureKey& key, const Picture& picture) {
    if (const auto old = find(key); old != entries_.end()) {
        bytes_ -= old->second.Bytes();
        entries_.erase(old);
    }
    if (!picture.IsOk() || picture.Bytes() > budget_)
        return;
    entries_.emplace_front(key, picture);
    bytes_ += picture.Bytes();
    while (bytes_ > budget_) {
        bytes_ -= entries_.back().second.Bytes();
        entries_.pop_back();
    }
}

} // namespace imaging
