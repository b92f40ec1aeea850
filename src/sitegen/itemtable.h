#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// The item list shown as a table: one column per field of the header line,
// one row per entry. Only the view is split; the entries stay as they are.

// The five fields of the header line without their outer spaces.
const QStringList &itemTableColumns();

// The five cells of one entry, each the text up to its closing comma as the
// generator reads it; a cell whose comma is missing takes the rest of the
// line and leaves the next ones empty. Text after the fifth comma other than
// blanks (a field that held a comma) stays visible in the fifth cell.
QStringList itemTableCells(const QString &entry);

}  // namespace quorvane
