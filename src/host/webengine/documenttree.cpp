#include "documenttree.h"

#include <algorithm>
#include <iterator>

namespace quorvane {

bool DocumentTree::add(FrameSnapshot snapshot)
{
    if (!snapshot.document || snapshot.path.size() > size_t(kMaxFrameDepth))
        return false;
    auto it = m_frames.find(snapshot.path);
    if (it != m_frames.end()) {
        it->second = std::move(snapshot);
        return true;
    }
    if (m_frames.size() >= size_t(kMaxFramesPerDocument))
        return false;
    std::vector<int> path = snapshot.path;
    m_frames.emplace(std::move(path), std::move(snapshot));
    return true;
}

DocumentPtr DocumentTree::build() const
{
    return build(std::vector<int>());
}

DocumentPtr DocumentTree::build(const std::vector<int> &path) const
{
    const auto it = m_frames.find(path);
    if (it == m_frames.end())
        return nullptr;
    const FrameSnapshot &entry = it->second;
    if (entry.frameCount == 0)
        return entry.document;
    // Copying is cheap: the vectors are implicitly shared.
    auto doc = std::make_shared<HtmlDocument>(*entry.document);
    doc->frames.resize(entry.frameCount);
    // Descendants sort right after their ancestor; visit only the reported ones.
    for (auto child = std::next(it); child != m_frames.end(); ++child) {
        const std::vector<int> &key = child->first;
        if (key.size() <= path.size() || !std::equal(path.begin(), path.end(), key.begin()))
            break;
        if (key.size() == path.size() + 1 && key.back() < entry.frameCount)
            doc->frames[key.back()] = build(key);
    }
    return doc;
}

}  // namespace quorvane
