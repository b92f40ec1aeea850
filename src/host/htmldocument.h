#pragma once

#include <QString>
#include <QVector>

#include <memory>

namespace quorvane {

// One element as the logic sees it. Fields a tag does not have stay empty.
// outerText is captured for the elements the logic reads text from (P, A)
// and for the source element of a mouse event; capturing it for every element
// of a large page would copy the page text once per nesting level.
struct HtmlElement {
    QString tagName;   // upper case, as the DOM reports it ("A", "P", "META")
    QString outerText;
    QString href;      // absolute, as the href property gives it
    QString src;       // absolute, as the src property gives it
    QString name;      // META name
    QString content;   // META content
};

struct HtmlLink {
    QString href;
    QString outerText;
    QString rel;  // the rel attribute as written ("nofollow sponsored")
    // The alt of an AREA, or of the first image with one inside an A: what
    // names a link that has no text.
    QString imageAlt;
};

// A read-only snapshot of one document and, recursively, of its frames.
// Both engines (web engine and text-only) and the test fakes produce it.
struct HtmlDocument {
    QString url;
    QString title;
    QString domain;
    QString bodyTagName;             // "BODY" for ordinary pages, "FRAMESET" for framesets
    QVector<HtmlLink> links;         // anchors and areas with an href, document order
    QVector<QString> images;         // src of each img element, document order
    QVector<HtmlElement> all;        // every element, document order
    QVector<std::shared_ptr<const HtmlDocument>> frames;  // frame and iframe documents, in order; null when unreadable
};

using DocumentPtr = std::shared_ptr<const HtmlDocument>;

}  // namespace quorvane
