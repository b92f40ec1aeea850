#pragma once

#include "host/htmldocument.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace quorvane {

// What a page may hand over; beyond these the data is cut or ignored.
inline constexpr qsizetype kMaxSnapshotChars = 32 * 1024 * 1024;  // UTF-16 units, about 64 MB
inline constexpr int kMaxSnapshotItems = 100000;
inline constexpr int kMaxFrameDepth = 32;
inline constexpr int kMaxFramesPerDocument = 10000;
inline constexpr qsizetype kMaxMouseChars = 1024 * 1024;

// One frame's document as the snapshot script reports it, frames not attached.
struct FrameSnapshot {
    std::vector<int> path;  // index chain from the top frame; empty for the top
    std::shared_ptr<const HtmlDocument> document;
    int frameCount = 0;     // window.frames.length of that document
};

// Both return nothing for malformed or oversized text; page data is untrusted.
// A snapshot is the field text snapshot.js writes, a mouse element JSON.
std::optional<FrameSnapshot> parseFrameSnapshot(const QString &text);
std::optional<HtmlElement> parseMouseElement(const QString &json);

}  // namespace quorvane
