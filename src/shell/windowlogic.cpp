#include "windowlogic.h"

#include "lifecycle.h"
#include "links/harvester.h"
#include "menutree.h"

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

bool isMenuEntry(const QString &name)
{
    for (const MenuEntry &entry : menuTree()) {
        if (name == QLatin1String(entry.name))
            return entry.kind == MenuEntry::Kind::Command;
    }
    return false;
}
}  // namespace

WindowLogic::WindowLogic(WindowState &state, Host &host, Config config, QObject *parent)
    : QObject(parent),
      m_state(state),
      m_host(host),
      m_config(std::move(config)),
      m_lifecycle(std::make_unique<Lifecycle>(m_state, m_host, m_config)),
      m_harvester(std::make_unique<Harvester>(m_state, m_host))
{
}

WindowLogic::~WindowLogic() = default;

void WindowLogic::Form_Load()
{
    m_lifecycle->Form_Load();
}

void WindowLogic::Form_Unload()
{
    m_lifecycle->Form_Unload();
}

void WindowLogic::Form_Terminate()
{
    m_lifecycle->Form_Terminate();
}

QString WindowLogic::homeSiteUrl(const QString &path) const
{
    return QStringLiteral("http://") + m_config.homeSite + path;
}

bool WindowLogic::menuClick(const QString &name, int index)
{
    if (!popupOfMenuArray(name).isEmpty())
        return index >= 0 && index < m_state.menuArray(name).size();
    if (!isMenuEntry(name))
        return false;
    if (name == QLatin1String("getlinks"))
        m_harvester->getlinks_Click();
    else if (name == QLatin1String("exit"))
        emit closeRequested();
    return true;
}

bool WindowLogic::buttonDown(const QString &control, MouseButton)
{
    return toolbarButtons().contains(control);
}

bool WindowLogic::buttonUp(const QString &control, MouseButton)
{
    if (!toolbarButtons().contains(control))
        return false;
    if (control == QLatin1String("Picture241"))
        m_harvester->Picture241_MouseUp();
    return true;
}

bool WindowLogic::buttonClick(const QString &control)
{
    return toolbarButtons().contains(control) || plainButtons().contains(control);
}

bool WindowLogic::buttonHover(const QString &control)
{
    return toolbarButtons().contains(control);
}

void WindowLogic::backgroundHover() {}

bool WindowLogic::listClick(const QString &list, int index)
{
    ListControl *l = m_state.list(list);
    if (!l)
        return false;
    l->setSelected(index);
    if (list == QLatin1String("Combo2") && index >= 0 && index < l->count()) {
        m_state.setComboText(m_state.Combo2, l->at(index));
        openAddress();
    }
    return true;
}

bool WindowLogic::listDoubleClick(const QString &list, int index)
{
    ListControl *l = m_state.list(list);
    if (!l)
        return false;
    l->setSelected(index);
    return true;
}

bool WindowLogic::listMouseDown(const QString &list, int index, MouseButton)
{
    return m_state.list(list) != nullptr;
}

bool WindowLogic::keyPress(const QString &control, Key key)
{
    ComboBox *combo = control == QLatin1String("Combo1") ? &m_state.Combo1
                    : control == QLatin1String("Combo2") ? &m_state.Combo2
                                                         : nullptr;
    if (!combo)
        return false;
    if (combo == &m_state.Combo1) {
        // The keyword box files its text as a search word, or removes it.
        if (key == Key::Enter) {
            combo->list.insert(0, combo->text);
        } else {
            const int at = combo->list.indexOf(combo->text);
            if (at >= 0)
                combo->list.removeAt(at);
        }
        m_state.setComboText(*combo, QString());
    } else if (key == Key::Enter) {
        // Recent addresses: at most 19, the oldest makes room.
        ListControl &recent = combo->list;
        if (recent.count() == 19)
            recent.removeAt(0);
        if (!recent.contains(combo->text))
            recent.add(combo->text);
        openAddress();
    }
    return true;
}

void WindowLogic::panelClick(int) {}

void WindowLogic::panelDoubleClick(int) {}

void WindowLogic::openAddress()
{
    const QString address = m_state.Combo2.text;
    for (const char *name : {"WebBrowser1", "WebBrowser5"}) {
        Browser *browser = m_host.browser(QString::fromLatin1(name));
        if (browser && browser->isVisible())
            browser->navigate(address);
    }
}

}  // namespace quorvane
