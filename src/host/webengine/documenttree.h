#pragma once

#include "framesnapshot.h"

#include <map>
#include <vector>

namespace quorvane {

// The frame documents of one top-level document, gathered in whatever order
// they report in, assembled into one snapshot on demand.
class DocumentTree final {
public:
    // False when the tree is full; a frame reporting again replaces its entry.
    bool add(FrameSnapshot snapshot);
    bool hasTop() const { return m_frames.count({}) != 0; }
    // The top document's report, or null.
    const FrameSnapshot *top() const
    {
        const auto it = m_frames.find({});
        return it == m_frames.end() ? nullptr : &it->second;
    }
    // The top document with its frames in window.frames order, null where a
    // frame has not reported; null without the top.
    DocumentPtr build() const;

private:
    DocumentPtr build(const std::vector<int> &path) const;

    std::map<std::vector<int>, FrameSnapshot> m_frames;
};

}  // namespace quorvane
