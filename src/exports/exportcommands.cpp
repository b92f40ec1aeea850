#include "exportcommands.h"

#include "core/commandtable.h"
#include "core/htmltext.h"
#include "core/provenance.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <QDir>

namespace quorvane {

namespace {
const QString csvFilter = QStringLiteral("CSV file (*.csv)|*.csv");
}

ExportCommands::ExportCommands(WindowState &state, Host &host) : m_state(state), m_host(host) {}

void ExportCommands::bind(CommandTable &commands)
{
    for (const ExportInfo &info : exportKinds()) {
        const ExportKind kind = info.kind;
        commands.onMenu(QString::fromLatin1(info.menu), [this, kind] { exportWithDialog(kind); });
    }
    commands.onMenu(QStringLiteral("viewemails"), [this] { viewEmails(); });
}

void ExportCommands::exportWithDialog(ExportKind kind)
{
    const QString path = m_host.services().saveFileDialog(csvFilter);
    if (!path.isEmpty())
        exportTo(kind, path);
}

bool ExportCommands::exportTo(ExportKind kind, const QString &path)
{
    const CsvWriter csv = exportFromWindow(kind, m_state);
    const bool written = csv.save(path);
    m_state.setPanelText(1, written ? QStringLiteral("Exported %1 rows to %2").arg(csv.rowCount()).arg(path)
                                    : QStringLiteral("Could not write %1").arg(path));
    return written;
}

QString ExportCommands::emailsPage(const QList<QPair<QString, QStringList>> &addresses)
{
    QString html = QStringLiteral("<html><head><title>E-mail addresses</title></head><body>"
                                  "<table border='1' cellspacing='0' cellpadding='4'>"
                                  "<tr><th>Address</th><th>Pages</th></tr>");
    for (const auto &[address, pages] : addresses) {
        html += QStringLiteral("<tr><td>") + escapeHtmlText(address) + QStringLiteral("</td><td>");
        for (const QString &page : pages) {
            html += QStringLiteral("<a href='") + escapeHtmlAttribute(page) + QStringLiteral("'>")
                  + escapeHtmlText(page) + QStringLiteral("</a><br>");
        }
        html += QStringLiteral("</td></tr>");
    }
    return html + QStringLiteral("</table></body></html>");
}

void ExportCommands::viewEmails()
{
    Browser *main = m_host.browser(BrowserId::MainView);
    if (!main)
        return;
    const auto addresses = emailAddresses(m_state.provenance);
    main->closeDocument();
    main->writeDocument(emailsPage(addresses));
    m_state.setPanelText(2, QStringLiteral("Found - %1 e-mail addresses").arg(addresses.size()));
}

int runExportCommand(const QStringList &arguments, const QString &defaultProgramFolder, QTextStream &out,
                     QTextStream &err)
{
    const QString usage = QStringLiteral("usage: quorvane export links|found|emails|emails-by-page|images FILE "
                                         "[--program-folder DIR]");
    QStringList positional;
    QString folder = defaultProgramFolder;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--program-folder") && i + 1 < arguments.size())
            folder = arguments.at(++i);
        else
            positional.append(arguments.at(i));
    }
    if (positional.size() != 2) {
        err << usage << Qt::endl;
        return 2;
    }
    const std::optional<ExportKind> kind = exportKindNamed(positional.at(0));
    if (!kind) {
        err << "unknown export \"" << positional.at(0) << "\"\n" << usage << Qt::endl;
        return 2;
    }
    Provenance provenance;
    const QString saved = QDir(folder).filePath(QString::fromLatin1(Provenance::FileName));
    if (!provenance.load(saved)) {
        err << "no saved session to export in " << saved << Qt::endl;
        return 2;
    }
    const std::optional<CsvWriter> csv = exportFromSaved(*kind, provenance);
    if (!csv) {
        err << "the report rows are not kept between runs: export them from the window" << Qt::endl;
        return 2;
    }
    if (!csv->save(positional.at(1))) {
        err << "cannot write " << positional.at(1) << Qt::endl;
        return 1;
    }
    out << csv->rowCount() << " rows written to " << positional.at(1) << Qt::endl;
    return 0;
}

}  // namespace quorvane
