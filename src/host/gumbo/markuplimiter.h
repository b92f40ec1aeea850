#pragma once

#include <QByteArray>

namespace quorvane::htmlparser {

// The UTF-8 page with the markup that would make gumbo slow or abort taken
// out: tags nested past a depth cap (with their end tags), open formatting
// elements past a cap, surplus attributes, and the SVG and MathML tags gumbo
// 0.10.1 cannot take. Returns html itself when nothing had to go.
QByteArray limitMarkup(const QByteArray &html);

}  // namespace quorvane::htmlparser
