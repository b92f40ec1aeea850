#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorvane {

class ListControl;

// The window's list files: a double quote, each item followed by CR LF, a
// double quote, CR LF; UTF-8. An entry that is not valid UTF-8 (a file written
// by hand or by an older program in the Windows code page) is read as
// Windows-1252 and written back as the bytes it was read from.

// The longest entry kept: no browser takes a longer address, and a list
// widget showing one would freeze the window.
constexpr qsizetype MaxListEntryLength = 2 * 1024 * 1024;

// The text of the file's one record: between the first double quote and the
// next; a file not starting with a quote gives its text up to the first comma
// or line break. Missing or unreadable files give an empty text.
QString readListFile(const QString &path);
// The same from the file's bytes.
QString listRecordText(const QByteArray &bytes);

// Hands each item of a record's text to add, in order. CR LF, LF and CR all
// end an item. Empty items are skipped, and text after the last line end
// counts as an item too, so a file written by hand without a final line end
// loses nothing. Returns how many items were skipped for being longer than
// MaxListEntryLength.
int splitListText(const QString &text, const std::function<void(const QString &)> &add);

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
