#include "menucommands.h"

#include "core/collectionfile.h"
#include "core/commandtable.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <QUrl>

namespace quorvane {

namespace {
const char *const languagePairs[] = {"pt_en", "es_en", "it_en", "de_en", "fr_en",
                                     "en_es", "en_pt", "en_it", "en_de", "en_fr"};

}  // namespace

MenuCommands::MenuCommands(WindowState &state, Host &host, const Config &config)
    : m_state(state), m_host(host), m_config(config)
{
}

void MenuCommands::bind(CommandTable &c)
{
    c.onMenu(QStringLiteral("open_file"), [this] { openFile(QString::fromLatin1(OpenFilter)); });
    c.onMenu(QStringLiteral("opcollect"), [this] {
        openFile(collectionSaveFilter(m_state.privateZone()));
    });

    using Command = Browser::PageCommand;
    const struct {
        const char *menu;
        Command command;
        bool browser1Only;
    } pageCommands[] = {{"save_file", Command::SaveAs, false}, {"copy", Command::Copy, false},
                        {"selectall", Command::SelectAll, false}, {"print", Command::Print, true},
                        {"pagesetup", Command::PageSetup, true}};
    for (const auto &p : pageCommands) {
        const Command command = p.command;
        if (p.browser1Only) {
            c.onMenu(QString::fromLatin1(p.menu), [this, command] {
                if (Browser *mainView = m_host.browser(BrowserId::MainView))
                    mainView->runPageCommand(command);
            });
        } else {
            c.onMenu(QString::fromLatin1(p.menu),
                     [this, command] { forEachVisibleView(m_host, [command](Browser &b) { b.runPageCommand(command); }); });
        }
    }

    for (const char *pair : languagePairs) {
        const QString code = QString::fromLatin1(pair);
        c.onMenu(code, [this, code] { translate(code); });
    }

    const struct {
        const char *menu;
        const char *path;
    } helpPages[] = {{"get_start", "/gtst.htm"}, {"hic", "/how.htm"}, {"special", "/customization.htm"},
                     {"about", "/about.htm"}};
    for (const auto &h : helpPages) {
        const QString url = m_config.homeSiteUrl(QLatin1String(h.path));
        c.onMenu(QString::fromLatin1(h.menu), [this, url] {
            if (Browser *mainView = m_host.browser(BrowserId::MainView))
                mainView->navigate(url);
        });
    }
}

void MenuCommands::openFile(const QString &filter)
{
    const QString path = m_host.services().openFileDialog(filter);
    if (path.isEmpty())
        return;
    forEachVisibleView(m_host, [&path](Browser &b) { b.navigate(path); });
}

QString MenuCommands::translationUrl(const QString &languagePair) const
{
    return QStringLiteral("http://") + m_config.translationHost + QStringLiteral("/cgi-bin/translate?urltext=")
         + QString::fromLatin1(QUrl::toPercentEncoding(m_state.Combo2.text)) + QStringLiteral("&lp=") + languagePair
         + QStringLiteral("&doit=done");
}

void MenuCommands::translate(const QString &languagePair)
{
    // The translation waits in the view that is not shown until the user switches.
    const QString url = translationUrl(languagePair);
    Browser *mainView = m_host.browser(BrowserId::MainView);
    Browser *secondView = m_host.browser(BrowserId::SecondView);
    if (!mainView || !secondView)
        return;
    if (mainView->isVisible())
        secondView->navigate(url);
    if (secondView->isVisible())
        mainView->navigate(url);
}

}  // namespace quorvane
