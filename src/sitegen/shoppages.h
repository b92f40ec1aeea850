#pragma once

#include "shopdescription.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// The texts of the generated shop site and the rules for the values that go
// into them. Every text is ready to write: CR LF line ends, final CR LF.
namespace shoppages {

// The header line, entry 0 of every item list.
const QString &headerLine();

// The Category name without its outer spaces, lower-cased: the site folder and file infix.
QString siteName(const QString &category);
// Why the category cannot name a folder under the program folder; empty when it can.
QString siteNameProblem(const QString &category);

// The five fields of an item line, each closed by a comma; nullopt when a comma is missing.
std::optional<QStringList> cutEntry(const QString &entry);
// Digits with at most one decimal point ("12", "12.50", ".5"): what the shop's script can take unquoted.
bool isDecimalNumber(const QString &text);
// A decimal number as the item script writes it, unquoted: without the leading
// zeros that make "010" octal or "01.50" a syntax error ("000" gives "0").
QString scriptPrice(const QString &price);
// text as the inside of a JavaScript string literal closed by quote.
QString javaScriptString(const QString &text, QChar quote = QLatin1Char('"'));
// The site name as the pages refer to their files, ready for a quoted
// attribute (also inside a quoted script string there): what would end a
// string or turn part of the name into a query, fragment or escape is %-encoded.
QString siteAddress(const QString &site);

QString framesetPage(const ShopDescription &shop);
QString menuPage(const ShopDescription &shop);
QString listPage(const ShopDescription &shop);
QString basketPage(const ShopDescription &shop);
QString paymentFormPage(const ShopDescription &shop);
QString emailFormPage(const ShopDescription &shop);
QString basketScript(const ShopDescription &shop);
QString orderScript(const ShopDescription &shop);

struct ItemScript {
    QString text;         // empty when badEntry is set
    int badEntry = -1;    // index of the first entry that is no item line
};
ItemScript itemScript(const ShopDescription &shop);

}  // namespace shoppages
}  // namespace quorvane
