#pragma once

#include <QString>

namespace quorvane {

// Escapes text from a page or a user for an HTML text position: & < >.
QString escapeHtmlText(const QString &text);
// Escapes a value for a single- or double-quoted HTML attribute: & < > ' ".
QString escapeHtmlAttribute(const QString &value);
// Reverses both escapes (and &#NN; / &#xNN; numeric references), for showing
// a stored row's text as the page had it.
QString unescapeHtml(const QString &html);
// The text of simple markup: tags dropped, references replaced, white space
// collapsed. Not a parser: for the program's own rows and short page parts.
QString markupText(QStringView html);

}  // namespace quorvane
