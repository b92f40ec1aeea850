#pragma once

#include "host/htmldocument.h"

#include <QString>

#include <functional>

namespace quorvane {

// Loads the document of a frame whose src resolved to url; depth is the
// frame's nesting depth (1 for a frame of the page). Returns null when the
// frame cannot be loaded.
using FrameLoader = std::function<DocumentPtr(const QString &url, int depth)>;

// The deepest frame nesting the parser follows; deeper frames stay null, so
// a page that frames itself cannot recurse forever.
constexpr int MaxFrameDepth = 8;

// Parses html as the document found at url: links and images with absolute
// addresses (resolved against <base href> or url, as the DOM properties give
// them), META name and content, P and A outerText, body tag name, title,
// domain, and each FRAME and IFRAME in document order through frames.
DocumentPtr parseHtmlDocument(const QString &html, const QString &url,
                              const FrameLoader &frames = {}, int depth = 0);

// Resolves a possibly relative address against a base, as a browser does.
QString resolveUrl(const QString &base, const QString &relative);

}  // namespace quorvane
