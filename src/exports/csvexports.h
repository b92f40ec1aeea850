#pragma once

#include "core/csv.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

class Provenance;
class WindowState;

// The CSV exports of the window's results, each with a fixed column order:
//   links           address, text, rel, source page        (harvest order)
//   found           address, matching words, paragraphs, soft 404, parked
//   emails          address, pages, page count             (one row per address)
//   emails-by-page  page, address
//   images          address, source page                   (image buffer order)
//   report          number, text, html                     (report rows)
// Multi-valued cells (words, pages) hold one value per line.
enum class ExportKind { Links, FoundPages, Emails, EmailsByPage, Images, ReportRows };

struct ExportInfo {
    ExportKind kind;
    const char *name;     // on the command line and in scripts
    const char *menu;     // the File > Export entry
    const char *caption;
};
const QList<ExportInfo> &exportKinds();
std::optional<ExportKind> exportKindNamed(const QString &name);

CsvWriter linksCsv(const QStringList &addresses, const Provenance &provenance);
CsvWriter foundPagesCsv(const QStringList &addresses, const Provenance &provenance);
CsvWriter emailsCsv(const Provenance &provenance);
CsvWriter emailsByPageCsv(const Provenance &provenance);
CsvWriter imagesCsv(const QStringList &addresses, const Provenance &provenance);
CsvWriter reportRowsCsv(const QStringList &rows);

// What the window holds now: the step list, the found pages, the image
// buffer and the report rows, with what is known of where they came from.
CsvWriter exportFromWindow(ExportKind kind, const WindowState &state);
// What a saved session holds (the provenance file); nothing for the report
// rows, which are not kept between runs.
std::optional<CsvWriter> exportFromSaved(ExportKind kind, const Provenance &provenance);

// The distinct e-mail addresses (ignoring case, first spelling kept) with
// their pages, in the order first seen.
QList<QPair<QString, QStringList>> emailAddresses(const Provenance &provenance);

}  // namespace quorvane
