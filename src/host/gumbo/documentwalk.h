#pragma once

#include "htmlparser.h"

#include <QString>

#include <gumbo.h>

namespace quorvane::htmlparser {

// Frames loaded under one top-level parse share one budget. The outermost
// parse on a thread opens it for as long as this lives; the parses of its
// frames, which run inside its walk, draw on it and leave it open.
class FrameBudgetScope final {
public:
    FrameBudgetScope();
    ~FrameBudgetScope();
    FrameBudgetScope(const FrameBudgetScope &) = delete;
    FrameBudgetScope &operator=(const FrameBudgetScope &) = delete;

private:
    bool m_owner = false;
};

// Fills document from gumbo's tree of a page of pageLength characters found
// at url: body tag name, title, and every element in document order with
// links and images resolved, META, the outerText of P and A, and the frames,
// loaded through frames at depth + 1.
void walkDocument(const GumboOutput &output, const QString &url, const FrameLoader &frames, int depth,
                  qsizetype pageLength, HtmlDocument &document);

}  // namespace quorvane::htmlparser
