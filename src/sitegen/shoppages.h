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
// text as the inside of a double-quoted JavaScript string literal.
QString javaScriptString(const QString &text);

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
