#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// The e-mail address of a mailto: link: percent-escapes decoded, the query
// (?subject=...) and any second address dropped. Empty when the link holds
// no plausible address: no local part or no domain with a dot, white space
// or markup inside, or a "domain" that is an image name (logo@2x.png).
// Obfuscated forms ("name at example dot com") are left alone on purpose.
QString mailtoAddress(const QString &href);

// Every address of the mailto: links written in a page's markup, in page
// order, each once (ignoring case).
QStringList mailtoAddressesIn(const QString &html);

}  // namespace quorvane
