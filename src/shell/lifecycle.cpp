#include "lifecycle.h"

#include "homesitewatch.h"
#include "core/htmltext.h"
#include "core/listfile.h"
#include "core/savekeeper.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <QDir>

namespace quorvane {

Lifecycle::Lifecycle(WindowState &state, Host &host, const Config &config)
    : m_state(state), m_host(host), m_config(config)
{
}

QString Lifecycle::programFile(const QString &name) const
{
    return QDir(m_config.programFolder).filePath(name);
}

void Lifecycle::Form_Load()
{
    for (TimerId id : AllTimers) {
        if (Timer *timer = m_host.timer(id)) {
            timer->setEnabled(false);
            timer->setInterval(id == TimerId::Reserved12                                                 ? 5000
                               : id == TimerId::PrivateChannelsRetry || id == TimerId::PrivateSearchRetry ? 20000
                                                                                                         : 30000);
        }
    }
    if (Browser *mainView = m_host.browser(BrowserId::MainView))
        mainView->setVisible(true);
    if (Browser *secondView = m_host.browser(BrowserId::SecondView)) {
        secondView->setVisible(false);
        secondView->navigate(m_config.homeSiteUrl(QStringLiteral("/welcome.htm")));
    }
    for (const HomeSiteList &d : homeSiteLists) {
        if (Transfer *inet = m_host.transfer(d.slot))
            inet->execute(m_config.homeSiteUrl(QString::fromLatin1(d.path)), d.maxBytes);
    }

    int skipped = splitListText(readListFile(programFile(QStringLiteral("lb.prv"))),
                                [this](const QString &item) { addAddressEntry(m_state.Combo2.list, item); });
    const struct {
        const char *file;
        ListControl &list;
    } uniqueLists[] = {{"domain.prv", m_state.domain},
                       {"domain2.txt", m_state.domain2},
                       {"favor.prv", m_state.favorit},
                       {"favor2.txt", m_state.favorit2}};
    for (const auto &l : uniqueLists) {
        skipped += splitListText(readListFile(programFile(QString::fromLatin1(l.file))),
                                 [&l](const QString &item) { addUnique(l.list, item); });
    }
    m_state.setPanelText(2, QStringLiteral("Public zone"));
    // Shown home pages keep repeats: the walk only asks whether a page is in the list.
    skipped += splitListText(readListFile(programFile(QStringLiteral("list6.prv"))),
                             [this](const QString &item) { m_state.List6.add(item); });
    if (skipped > 0) {
        m_state.setPanelText(1, QStringLiteral("Skipped %1 list entries longer than any address (%2 characters)")
                                    .arg(skipped)
                                    .arg(MaxListEntryLength));
    }
    checkProgramFolder();
}

void Lifecycle::Form_Unload(const std::function<void()> &closeWindows)
{
    cancelReaders(m_host);
    if (closeWindows)
        closeWindows();
    for (const QString &menu : m_state.menuArrayNames())
        m_state.setMenuArray(menu, m_state.menuArray(menu).mid(0, 1));

    const QByteArray page = imageBufferPage().toUtf8();
    writePage(QStringLiteral("error.htm"), "\"" + page + "\"\r\n");
    writePage(QStringLiteral("lb.prv"), listFileRecord(m_state.Combo2.list.items()));
    writePage(QStringLiteral("domain.prv"), listFileRecord(m_state.domain.items()));
    writePage(QStringLiteral("list6.prv"), listFileRecord(m_state.List6.items()));
    writePage(QStringLiteral("domain2.txt"), listFileRecord(m_state.domain2.items()));
    // Each file is tried whatever happened to the others; the user hears of
    // the failed ones at once, with where their copies went.
    reportSaveFailures(m_state, m_host.services());
}

void Lifecycle::Form_Terminate()
{
    // The buffer as it stood at shutdown: the state outlives the window.
    writePage(QStringLiteral("error1.htm"), imageBufferPage().toUtf8() + "\r\n");
    reportSaveFailures(m_state, m_host.services());
}

QString Lifecycle::imageBufferPage() const
{
    QString page = QStringLiteral("<html><body>");
    for (const QString &image : m_state.List2.items())
        page += QLatin1String("<img src='") + escapeHtmlAttribute(image) + QLatin1String("'>");
    page += QLatin1String("</body></html>");
    return page;
}

void Lifecycle::writePage(const QString &name, const QByteArray &bytes) const
{
    keepFile(m_state, m_config, programFile(name), bytes);
}

void Lifecycle::checkProgramFolder()
{
    const QString problem = programFolderProblem(m_config);
    if (problem.isEmpty())
        return;
    const QString folder = QDir::toNativeSeparators(m_config.programFolder);
    const QString recovery = QDir::toNativeSeparators(recoveryFolder(m_config));
    m_state.setPanelText(1, QStringLiteral("Cannot write %1: lists are saved to %2").arg(folder, recovery));
    m_host.services().messageBox(
        QStringLiteral("The program folder %1 cannot be written (%2). The lists, favorites and pages this session "
                       "saves there go to %3 instead.")
            .arg(folder, problem, recovery),
        QStringLiteral("Warning!!!"), WindowServices::Buttons::Ok);
}

}  // namespace quorvane
