#include "linkwalker.h"

#include "core/commandtable.h"
#include "core/htmltext.h"
#include "core/views.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <algorithm>

namespace quorvane {

LinkWalker::LinkWalker(WindowState &state, Host &host) : m_state(state), m_host(host) {}

void LinkWalker::bind(CommandTable &commands)
{
    commands.onButtonUp(QStringLiteral("Picture26"), [this](MouseButton) { previousLink(); });
    commands.onButtonUp(QStringLiteral("Picture27"), [this](MouseButton) { nextLink(); });
    commands.onButtonUp(QStringLiteral("Picture28"), [this](MouseButton) { clearWalk(); });
    commands.onListMouseDown(QStringLiteral("listlinks"), [this](int, MouseButton button) {
        if (button == MouseButton::Right)
            openSelectedLink();
    });
    commands.onListDoubleClick(QStringLiteral("listlinks"), [this](int) { deleteSelectedLink(); });
}

QString LinkWalker::linkTextOfRow(const QString &row)
{
    const qsizetype start = row.indexOf(QLatin1Char('>'));
    if (start < 0)
        return {};
    const qsizetype end = row.indexOf(QLatin1Char('<'), start + 1);
    const QString text = end < 0 ? row.mid(start + 1) : row.mid(start + 1, end - start - 1);
    // Rows hold escaped HTML; the status bar shows plain text.
    return unescapeHtml(text);
}

int LinkWalker::clampedIndex() const
{
    return std::clamp(int(m_state.currentLinkIndex()), 0, m_state.List7.count() - 1);
}

QString LinkWalker::stepText(int index) const
{
    if (index < m_state.List3.count())
        return linkTextOfRow(m_state.List3.at(index));
    return m_state.List7.at(index);
}

void LinkWalker::showStep(int index)
{
    m_state.setCurrentLinkIndex(qint16(index));
    navigateVisibleViews(m_host, m_state.List7.at(index));
}

void LinkWalker::previousLink()
{
    if (m_state.List7.isEmpty())
        return;
    const int index = clampedIndex();
    if (index != 0) {
        showStep(index - 1);
        m_state.setPanelText(1, stepText(index - 1) + QLatin1String(" <-- "));
    } else {
        showStep(0);
        m_state.setPanelText(1, QStringLiteral("Page # Start"));
    }
    m_state.notify();
}

void LinkWalker::nextLink()
{
    if (m_state.List7.isEmpty())
        return;
    const int index = clampedIndex();
    const int last = m_state.List7.count() - 1;
    if (index == last) {
        showStep(last);
        m_state.setPanelText(1, QStringLiteral("Page # End"));
    } else {
        showStep(index + 1);
        m_state.setPanelText(1, QLatin1String("--> ") + stepText(index + 1));
    }
    m_state.notify();
}

void LinkWalker::clearWalk()
{
    m_state.List7.clear();
    m_state.setCurrentLinkIndex(0);
    m_state.setPanelText(2, QStringLiteral("List is clear"));
}

void LinkWalker::openSelectedLink()
{
    const int selected = m_state.listlinks.selected();
    if (selected < 0 || selected >= m_state.listlinks.count())
        return;
    openInView(m_host.browser(BrowserId::MainView), m_state.listlinks.at(selected));
}

void LinkWalker::deleteSelectedLink()
{
    const int selected = m_state.listlinks.selected();
    if (selected < 0 || selected >= m_state.listlinks.count())
        return;
    // Visited: the image collector must not bring it back.
    m_state.listlinks2.add(m_state.listlinks.at(selected));
    m_state.listlinks.removeAt(selected);
    m_state.setPanelText(3, QStringLiteral(" Here live only %1 links ! ").arg(m_state.listlinks.count()));
}

}  // namespace quorvane
