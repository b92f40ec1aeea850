#pragma once

#include <QStringView>

namespace quorvane {

// Whether text contains word, ignoring the case of the basic Latin letters
// A-Z only. The word must be plain ASCII; any text may be searched.
bool containsIgnoringAsciiCase(QStringView text, QStringView word);

}  // namespace quorvane
