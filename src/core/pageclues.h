#pragma once

#include <QString>

namespace quorvane {

// What a page that loaded fine says about itself, read from its words.
struct PageClues {
    // It answered 200 but says it is missing (a "soft 404").
    bool softNotFound = false;
    // A parked domain: a placeholder, usually offering the domain for sale.
    bool parked = false;

    friend bool operator==(const PageClues &, const PageClues &) = default;
};

// The words of a page the clues are read from.
struct PageWords {
    QString host;     // of the page's address, e.g. "example.com"
    QString title;
    QString heading;  // the first main heading, when known
    QString text;     // the visible text, white space as it comes
};

// Soft 404: the title (one of its " | ", " - " ... segments) or the heading
// is a not-found message, or a short page says in a full sentence that the
// page asked for does not exist. Parked: the page offers this domain for
// sale or says it is parked, in its title or as a short page, or a short
// page titled with its own host name talks about the domain or lists
// "related searches". Words in
// longer pages (an article about 404 pages or domain parking) do not count:
// the pages these flags catch are short placeholders.
PageClues readPageClues(const PageWords &page);

// The words of a page from its markup (what a fetch read of it): the title,
// the first H1 and the text outside tags, scripts and styles.
PageWords pageWordsFromHtml(const QString &url, const QString &html);
// How many paragraphs (P elements) the markup opens.
int paragraphCount(const QString &html);

}  // namespace quorvane
