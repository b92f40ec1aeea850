#pragma once

#include "csvexports.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;

// File > Export: each entry asks for a file and writes one CSV export of
// the window (csvexports.h); View > "View e-mail addresses" shows the
// distinct addresses of the finders and the report with their pages in
// Browser 1. Status panel 1 says how it went.
class ExportCommands final {
public:
    ExportCommands(WindowState &state, Host &host);

    void bind(CommandTable &commands);

    // Returns whether the file was written.
    bool exportTo(ExportKind kind, const QString &path);
    void viewEmails();

    // The page viewEmails() writes: every text escaped.
    static QString emailsPage(const QList<QPair<QString, QStringList>> &addresses);

private:
    void exportWithDialog(ExportKind kind);

    WindowState &m_state;
    Host &m_host;
};

// `quorvane export KIND FILE [--program-folder DIR]`: writes an export of
// the session the window saved last (its provenance file) without a window.
// Returns 0 when written, 1 when the file could not be written, 2 for bad
// usage, an unknown or unsaved kind, or no readable saved session.
int runExportCommand(const QStringList &arguments, const QString &defaultProgramFolder, QTextStream &out,
                     QTextStream &err);

}  // namespace quorvane
