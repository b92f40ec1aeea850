#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorvane {

class ListControl;

// The window's list files: a double quote, each item followed by CR LF, a
// double quote, CR LF; UTF-8.

// The text of the file's one record: between the first double quote and the
// next; a file not starting with a quote gives its text up to the first comma
// or line break. Missing or unreadable files give an empty text.
QString readListFile(const QString &path);

// Hands each item of a record's text to add, in order. Empty items are
// skipped, and text after the last CR LF counts as an item too, so a file
// written by hand without a final line end loses nothing.
void splitListText(const QString &text, const std::function<void(const QString &)> &add);

// The file bytes for items. A double quote, CR or LF inside an item would end
// the record or split the item when read back, so they are written
// percent-encoded (%22, %0D, %0A), as an address may carry them.
QByteArray listFileRecord(const QStringList &items);
// Writes the record whole or not at all; false when nothing was written.
bool writeListFile(const QString &path, const QStringList &items);

// Adds an address to the address bar's list: skipped when it holds CR LF or is
// already there; at 20 entries the last one makes room first.
void addAddressEntry(ListControl &list, const QString &item);
// Adds the item unless an equal entry (exact comparison) is already there.
void addUnique(ListControl &list, const QString &item);

}  // namespace quorvane
