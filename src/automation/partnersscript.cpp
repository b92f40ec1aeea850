#include "partnersscript.h"

#include "partners/partnerlist.h"
#include "ui/mainwindow.h"
#include "ui/partnerswindow.h"
#include "ui/partnertablemodel.h"

#include <QJsonArray>
#include <QStringList>

namespace quorvane {

namespace {

const QStringList &actions()
{
    static const QStringList names = {"open", "add",  "sites",  "check", "cancel", "wait",   "select", "dblclick",
                                      "edit", "remove", "undo", "filter", "import", "export"};
    return names;
}

bool isRow(const QString &text)
{
    bool ok = false;
    return text.trimmed().toInt(&ok) >= 0 && ok;
}

}  // namespace

QString checkPartnersAction(const QString &action, const QString &arguments)
{
    if (!actions().contains(action))
        return QStringLiteral("unknown partners action \"%1\" (%2)").arg(action, actions().join(u", "));
    const QString args = arguments.trimmed();
    const QString first = args.section(u' ', 0, 0);
    if ((action == u"add" || action == u"sites") && args.isEmpty())
        return QStringLiteral("partners %1 needs an argument").arg(action);
    if (action == u"check" && args != u"all" && args != u"selected")
        return QStringLiteral("partners check takes all or selected");
    if ((action == u"select" || action == u"dblclick") && !isRow(args))
        return QStringLiteral("partners %1 takes a row number").arg(action);
    if (action == u"wait" && !args.isEmpty() && !isRow(args))
        return QStringLiteral("partners wait takes a time in ms");
    if (action == u"edit" && !QStringList{"site", "anchor", "note", "status"}.contains(first))
        return QStringLiteral("partners edit takes site, anchor, note or status, then the value");
    if (action == u"filter" && first != u"verdict" && first != u"status")
        return QStringLiteral("partners filter takes verdict or status, then the value");
    return {};
}

bool runPartnersAction(MainWindow &window, const QString &action, const QString &arguments, QString *error,
                       int *waitMs)
{
    *waitMs = -1;
    PartnersWindow *partners = window.partnersWindow(error);
    if (!partners)
        return false;
    const QString args = arguments.trimmed();
    const QString first = args.section(u' ', 0, 0);
    const QString rest = args.section(u' ', 1).trimmed();
    QString failure;
    if (action == u"open") {
        partners->show();
    } else if (action == u"add") {
        failure = partners->addPartner(args);
    } else if (action == u"sites") {
        const QString message = partners->setSites(args);
        if (message != u"Sites saved")
            failure = message;
    } else if (action == u"check") {
        if (args == u"all")
            partners->checkAll();
        else
            partners->checkSelected();
    } else if (action == u"cancel") {
        partners->cancelRun();
    } else if (action == u"wait") {
        *waitMs = args.isEmpty() ? 30000 : args.toInt();
    } else if (action == u"select") {
        if (!partners->selectRow(args.toInt()))
            failure = QStringLiteral("no row %1").arg(args);
    } else if (action == u"dblclick") {
        if (!partners->openRow(args.toInt()))
            failure = QStringLiteral("no row %1").arg(args);
    } else if (action == u"edit") {
        failure = partners->editSelected(first, rest);
    } else if (action == u"remove") {
        const QString message = partners->removeSelected();
        if (!message.startsWith(QLatin1String("Removed")))
            failure = message;
    } else if (action == u"undo") {
        const QString message = partners->undoRemove();
        if (message != u"Partner restored")
            failure = message;
    } else if (action == u"filter") {
        if (first == u"verdict")
            partners->setVerdictFilter(rest);
        else
            partners->setStatusFilter(rest);
    } else if (action == u"import") {
        partners->importCsv();
    } else if (action == u"export") {
        partners->exportCsv();
    }
    if (!failure.isEmpty()) {
        *error = failure;
        return false;
    }
    return true;
}

bool partnersRunning(MainWindow &window)
{
    PartnersWindow *partners = window.partnersWindow();
    return partners && partners->list().running();
}

void addPartnersDump(QJsonObject &dump, MainWindow &window)
{
    PartnersWindow *partners = window.existingPartnersWindow();
    if (!partners)
        return;
    PartnerList &list = partners->list();
    QJsonArray rows;
    for (const PartnerState &s : list.rows()) {
        rows.append(QJsonObject{
            {QStringLiteral("page"), s.partner.page},
            {QStringLiteral("site"), s.partner.site},
            {QStringLiteral("anchor"), s.partner.anchor},
            {QStringLiteral("status"), outreachName(s.partner.outreach)},
            {QStringLiteral("note"), s.partner.note},
            {QStringLiteral("verdict"), s.verdict ? verdictName(*s.verdict) : QString()},
            {QStringLiteral("since"), s.verdictSince},
            {QStringLiteral("lost"), s.lost},
            {QStringLiteral("changed"), s.changedOnLastCheck()},
        });
    }
    QJsonArray shown;
    const PartnerFilterModel &filter = partners->filter();
    for (int r = 0; r < filter.rowCount(); ++r)
        shown.append(filter.index(r, PartnerTableModel::Page).data().toString());
    dump.insert(QStringLiteral("Partners"),
                QJsonObject{{QStringLiteral("visible"), partners->isVisible()},
                            {QStringLiteral("sites"), QJsonArray::fromStringList(list.sites())},
                            {QStringLiteral("rows"), rows},
                            {QStringLiteral("shown"), shown},
                            {QStringLiteral("running"), list.running()},
                            {QStringLiteral("progress"), partners->progressText()},
                            {QStringLiteral("summary"), partners->summaryText()},
                            {QStringLiteral("canUndo"), list.canUndo()}});
}

}  // namespace quorvane
