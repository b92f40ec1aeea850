#pragma once

#include <QStringView>

namespace quorvane {

// Whether text contains word, ignoring the case of the basic Latin letters
// A-Z only. The word must be plain ASCII; any text may be searched.
bool containsIgnoringAsciiCase(QStringView text, QStringView word);

// Whether text contains word ignoring case, as the keyword searches compare:
// an ASCII word (nearly all of them) by the fast search above, any other by
// Qt's Unicode case folding. An empty word is in every text.
bool containsWord(QStringView text, QStringView word);

}  // namespace quorvane
