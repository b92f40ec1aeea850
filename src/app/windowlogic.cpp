#include "windowlogic.h"

#include "core/commandtable.h"
#include "crawler/adultlisting.h"
#include "crawler/catalog.h"
#include "crawler/crawler.h"
#include "crawler/imagecollector.h"
#include "exports/exportcommands.h"
#include "links/channellists.h"
#include "links/harvester.h"
#include "links/homepagewalk.h"
#include "links/linkwalker.h"
#include "links/privatezone.h"
#include "session/sessionjournal.h"
#include "shell/favorites.h"
#include "shell/homesitewatch.h"
#include "shell/lifecycle.h"
#include "shell/menucommands.h"
#include "shell/menutree.h"
#include "shell/navigation.h"
#include "shell/toolbar.h"
#include "shell/windowlayout.h"
#include "sitegen/sitegenerator.h"

#include <QDir>
#include <QSet>

namespace quorvane {

namespace {
const QSet<QString> &toolbarButtons()
{
    static const QSet<QString> buttons = {
        QStringLiteral("Picture2"),  QStringLiteral("Picture3"),  QStringLiteral("Picture4"),
        QStringLiteral("Picture5"),  QStringLiteral("Picture6"),  QStringLiteral("Picture8"),
        QStringLiteral("Picture9"),  QStringLiteral("Picture10"), QStringLiteral("Picture11"),
        QStringLiteral("Picture14"), QStringLiteral("Picture15"), QStringLiteral("Picture19"),
        QStringLiteral("Picture20"), QStringLiteral("Picture21"), QStringLiteral("Picture23"),
        QStringLiteral("Picture24"), QStringLiteral("Picture241"), QStringLiteral("Picture26"),
        QStringLiteral("Picture27"), QStringLiteral("Picture28")};
    return buttons;
}

const QSet<QString> &plainButtons()
{
    static const QSet<QString> buttons = {QStringLiteral("Command1"), QStringLiteral("Clearalllinks"),
                                          QStringLiteral("closel3")};
    return buttons;
}

bool isMenuCommand(const QString &name)
{
    for (const MenuEntry &entry : menuTree()) {
        if (name == QLatin1String(entry.name))
            return entry.kind == MenuEntry::Kind::Command;
    }
    return false;
}
}  // namespace

WindowLogic::WindowLogic(WindowState &state, Host &host, Config config, QObject *parent)
    : WindowEvents(parent),
      m_state(state),
      m_host(host),
      m_config(std::move(config)),
      m_commands(std::make_unique<CommandTable>()),
      m_lifecycle(std::make_unique<Lifecycle>(m_state, m_host, m_config)),
      m_harvester(std::make_unique<Harvester>(m_state, m_host)),
      m_crawler(std::make_unique<Crawler>(m_state, m_host)),
      m_siteGenerator(std::make_unique<SiteGenerator>(m_state, m_host, m_config)),
      m_navigation(std::make_unique<Navigation>(m_state, m_host, m_config)),
      m_toolbar(std::make_unique<Toolbar>(m_state, m_host, m_config)),
      m_layout(std::make_unique<WindowLayout>(m_state)),
      m_favorites(std::make_unique<Favorites>(m_state, m_host, m_config)),
      m_menuCommands(std::make_unique<MenuCommands>(m_state, m_host, m_config)),
      m_linkWalker(std::make_unique<LinkWalker>(m_state, m_host)),
      m_homePageWalk(std::make_unique<HomePageWalk>(m_state, m_host, m_config)),
      m_channelLists(std::make_unique<ChannelLists>(m_state, m_host)),
      m_privateZone(std::make_unique<PrivateZone>(m_state, m_host)),
      m_imageCollector(std::make_unique<ImageCollector>(m_state, m_host, m_config, *m_harvester)),
      m_catalog(std::make_unique<Catalog>(m_state, m_host, *m_imageCollector, *m_siteGenerator)),
      m_adultListing(std::make_unique<AdultListing>(m_state, m_host)),
      m_journal(std::make_unique<SessionJournal>(m_state, m_host, m_config)),
      m_exports(std::make_unique<ExportCommands>(m_state, m_host)),
      m_homeSiteWatch(std::make_unique<HomeSiteWatch>(m_state, m_host, m_config))
{
    // Every transfer of the window names the program the same way.
    for (TransferSlot slot : AllTransferSlots) {
        if (Transfer *transfer = m_host.transfer(slot))
            transfer->setUserAgent(m_config.effectiveUserAgent());
    }
    m_crawler->setPoliteness(Politeness{m_config.perHostLimit, m_config.hostDelayMs, m_config.obeyRobots,
                                        m_config.retryAfterCapSeconds});
    m_navigation->bind(*m_commands);
    m_navigation->setSearchStopper([this] { m_crawler->stopSearch(); });
    m_toolbar->bind(*m_commands);
    m_favorites->bind(*m_commands);
    m_menuCommands->bind(*m_commands);
    bindCommands();
    m_linkWalker->bind(*m_commands);
    m_homePageWalk->bind(*m_commands);
    m_channelLists->bind(*m_commands);
    m_privateZone->bind(*m_commands);
    m_crawler->bind(*m_commands);
    m_siteGenerator->bind(*m_commands);
    m_imageCollector->bind(*m_commands);
    m_catalog->bind(*m_commands);
    m_adultListing->bind(*m_commands);
    m_exports->bind(*m_commands);
    m_navigation->setWalkStopper([this] { m_imageCollector->stopWalk(); });
    m_privateZone->setLogoutListener([this] {
        m_imageCollector->forgetUnrecordedImages();
        m_catalog->forgetUnrecordedPictures();
    });
    // The search first: the links being read go back into the links list after it.
    const struct {
        const char *name;
        Crawler::ResumeItem item;
    } readerSources[] = {{"readerSearch", Crawler::ResumeItem::Search},
                         {"readerPages", Crawler::ResumeItem::ReaderPages},
                         {"queuePage", Crawler::ResumeItem::QueuePage}};
    for (const auto &source : readerSources) {
        const Crawler::ResumeItem item = source.item;
        m_journal->addSource(
            QString::fromLatin1(source.name), [this, item] { return m_crawler->resumeState(item); },
            [this, item](const QStringList &values) { m_crawler->restoreResumeState(item, values); });
    }
    connect(m_navigation.get(), &Navigation::mainViewDocumentReady, m_imageCollector.get(),
            [this] { m_imageCollector->collectShownPage(); });
}

WindowLogic::~WindowLogic() = default;

void WindowLogic::bindCommands()
{
    CommandTable &c = *m_commands;
    c.onMenu(QStringLiteral("getlinks"), [this] { m_harvester->getlinks_Click(); });
    c.onMenu(QStringLiteral("exit"), [this] { emit closeRequested(); });
    c.onButtonUp(QStringLiteral("Picture241"), [this](MouseButton) { m_harvester->Picture241_MouseUp(); });
    // The Stop beside the progress bar is the toolbar's Stop.
    c.onButtonClick(QStringLiteral("ProgressStop"), [this] { m_navigation->stop(); });

    // The keyword box files its text as a search word, or removes it.
    c.onKey(QStringLiteral("Combo1"), [this](Key key) {
        ComboBox &box = m_state.Combo1;
        if (key == Key::Enter) {
            box.list.insert(0, box.text);
        } else {
            const int at = box.list.indexOf(box.text);
            if (at >= 0)
                box.list.removeAt(at);
        }
        m_state.setComboText(box, QString());
    });
}

void WindowLogic::Form_Load()
{
    m_lifecycle->Form_Load();
    // Where the last session's results came from, for the exports.
    m_state.provenance.load(QDir(m_config.programFolder).filePath(QString::fromLatin1(Provenance::FileName)));
}

void WindowLogic::startSessionJournal(bool newest)
{
    m_journal->start(newest                             ? SessionJournal::Restore::Newest
                     : m_config.restoreAfterNormalExit ? SessionJournal::Restore::Always
                                                        : SessionJournal::Restore::Ask);
}

void WindowLogic::Form_Unload()
{
    // The journal catches up before any list file is written: a crash while
    // they are written finds it at least as new as them, so a restore never
    // puts back lists older than the files.
    m_journal->sync();
    m_lifecycle->Form_Unload([this] {
        m_siteGenerator->closeWindows();
        // Before the buffer pages are written: an unrecorded private session
        // leaves nothing in any file.
        m_imageCollector->forgetUnrecordedImages();
        m_catalog->forgetUnrecordedPictures();
    });
    m_state.provenance.save(QDir(m_config.programFolder).filePath(QString::fromLatin1(Provenance::FileName)));
    // Last: the lists as they were saved, and the session marked closed.
    m_journal->close();
}

void WindowLogic::Form_Terminate()
{
    m_lifecycle->Form_Terminate();
}

bool WindowLogic::menuClick(const QString &name, int index)
{
    if (!popupOfMenuArray(name).isEmpty()) {
        if (index < 0 || index >= m_state.menuArray(name).size())
            return false;
        m_commands->menu(name, index);
        return true;
    }
    return m_commands->menu(name, index) || isMenuCommand(name);
}

// The toolbar's images change first, whoever owns the button's command.
bool WindowLogic::buttonDown(const QString &control, MouseButton button)
{
    m_toolbar->mouseDown(control, button);
    return m_commands->buttonDown(control, button) || toolbarButtons().contains(control);
}

bool WindowLogic::buttonUp(const QString &control, MouseButton button)
{
    m_toolbar->mouseUp(control, button);
    return m_commands->buttonUp(control, button) || toolbarButtons().contains(control);
}

bool WindowLogic::buttonClick(const QString &control)
{
    return m_commands->buttonClick(control) || toolbarButtons().contains(control)
        || plainButtons().contains(control);
}

bool WindowLogic::buttonHover(const QString &control)
{
    m_toolbar->hover(control);
    return m_commands->buttonHover(control) || toolbarButtons().contains(control);
}

void WindowLogic::backgroundHover()
{
    m_toolbar->backgroundHover();
    m_commands->backgroundHover();
}

bool WindowLogic::listClick(const QString &list, int index)
{
    ListControl *l = m_state.list(list);
    if (!l)
        return false;
    l->setSelected(index);
    m_commands->listClick(list, index);
    return true;
}

bool WindowLogic::listDoubleClick(const QString &list, int index)
{
    ListControl *l = m_state.list(list);
    if (!l)
        return false;
    l->setSelected(index);
    m_commands->listDoubleClick(list, index);
    return true;
}

bool WindowLogic::listMouseDown(const QString &list, int index, MouseButton button)
{
    if (!m_state.list(list))
        return false;
    // A press does not move the selection: the entry acted on is the one selected before.
    m_commands->listMouseDown(list, index, button);
    return true;
}

bool WindowLogic::keyPress(const QString &control, Key key)
{
    return m_commands->key(control, key);
}

void WindowLogic::panelClick(int panel)
{
    m_commands->panelClick(panel);
}

void WindowLogic::panelDoubleClick(int panel)
{
    m_commands->panelDoubleClick(panel);
}

void WindowLogic::resizeClient(int widthTwips, int heightTwips)
{
    m_layout->Form_Resize(widthTwips, heightTwips);
}

bool WindowLogic::holdsLinkClicks() const
{
    return m_catalog->takesDoubleClicks();
}

}  // namespace quorvane
