#include "windowstate.h"

namespace quorvane {

ListControl WindowState::makeList(const char *name, bool sorted, Change change)
{
    return ListControl(QString::fromLatin1(name), sorted, [this, change] { notify(change); });
}

WindowState::WindowState()
    : listlinks(makeList("listlinks", true)), listlinks2(makeList("listlinks2", true)),
      List1(makeList("List1", true)), List2(makeList("List2", true)),
      favorit(makeList("favorit", true)), favorit2(makeList("favorit2", true)),
      domain(makeList("domain", true)), domain2(makeList("domain2", true)),
      List3(makeList("List3", false)), List4(makeList("List4", false)),
      List5(makeList("List5", false)), List6(makeList("List6", false)),
      List7(makeList("List7", false)), ara2(makeList("ara2", false)),
      pubsearch(makeList("pubsearch", false)), privchann(makeList("privchann", false)),
      privsearch(makeList("privsearch", false)), pass(makeList("pass", false)),
      pass_search(makeList("pass_search", false)), pass_chann(makeList("pass_chann", false)),
      today(makeList("today", false)),
      Combo1{QString(), makeList("Combo1", false, CombosChanged)},
      Combo2{QStringLiteral("http://"), makeList("Combo2", false, CombosChanged)},
      catalogs(CatalogCount),
      progress([this] { notify(PanelsChanged); }),
      m_caption(QStringLiteral("Specialized Quorvane Browser"))
{
    static const char *const toolTips[PanelCount] = {
        "URL", "Result", "View links listing", "Show a picture buffer's contents",
        "Clear picture buffer", "Call  Outlook Express", "Call calculator", "Call address book"};
    for (int i = 0; i < PanelCount; ++i)
        m_panels[i].toolTip = QString::fromLatin1(toolTips[i]);

    // Lists and buttons that start hidden; everything else starts visible.
    for (const char *hidden : {"listlinks", "listlinks2", "List1", "List2", "List3", "List4", "List5",
                               "List6", "List7", "favorit", "favorit2", "domain", "domain2", "ara2",
                               "pubsearch", "privchann", "privsearch", "pass", "pass_search",
                               "pass_chann", "today", "Command1", "Clearalllinks", "closel3",
                               "Picture8", "Picture11"}) {
        m_controls[QString::fromLatin1(hidden)].visible = false;
    }
    for (const char *shown : {"Combo1", "Combo2", "Label1", "Picture1", "StatusBar1"})
        m_controls[QString::fromLatin1(shown)].visible = true;
    for (const char *menu : {"pubs", "pubch", "privs", "privch"})
        m_menuArrays[QString::fromLatin1(menu)] = QStringList{QString::fromLatin1(menu)};
}

void WindowState::notify(unsigned changes) const
{
    m_changes |= changes;
    ++m_revision;
    if (m_listener)
        m_listener();
}

ListControl *WindowState::list(const QString &name)
{
    return const_cast<ListControl *>(std::as_const(*this).list(name));
}

const ListControl *WindowState::list(const QString &name) const
{
    if (name == QLatin1String("Combo1"))
        return &Combo1.list;
    if (name == QLatin1String("Combo2"))
        return &Combo2.list;
    for (const ListControl *l : lists()) {
        if (l->name() == name)
            return l;
    }
    return nullptr;
}

QList<const ListControl *> WindowState::lists() const
{
    return {&listlinks, &listlinks2, &List1, &List2, &List3, &List4, &List5, &List6, &List7,
            &favorit, &favorit2, &domain, &domain2, &ara2, &pubsearch, &privchann, &privsearch,
            &pass, &pass_search, &pass_chann, &today};
}

QVector<QPair<QString, qint16>> WindowState::flags() const
{
    return {{QStringLiteral("privateZone"), m_privateZone},
            {QStringLiteral("keepPrivateRecord"), m_keepPrivateRecord},
            {QStringLiteral("harvestRequested"), m_harvestRequested},
            {QStringLiteral("imageBufferShown"), m_imageBufferShown},
            {QStringLiteral("keywordMode"), m_keywordMode},
            {QStringLiteral("collectImages"), m_collectImages},
            {QStringLiteral("currentLinkIndex"), m_currentLinkIndex},
            {QStringLiteral("bufferFileCounter"), m_bufferFileCounter}};
}

void WindowState::requestFocus(const QString &name)
{
    m_focusRequest = name;
    ++m_focusRequests;
    notify(FocusChanged);
}

void WindowState::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    notify(CaptionChanged);
}

QString WindowState::panelText(int panel) const
{
    return panel >= 1 && panel <= PanelCount ? m_panels[panel - 1].text : QString();
}

void WindowState::setPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > PanelCount || m_panels[panel - 1].text == text)
        return;
    m_panels[panel - 1].text = text;
    notify(PanelsChanged);
}

QString WindowState::panelToolTip(int panel) const
{
    return panel >= 1 && panel <= PanelCount ? m_panels[panel - 1].toolTip : QString();
}

void WindowState::setPanelToolTip(int panel, const QString &toolTip)
{
    if (panel < 1 || panel > PanelCount || m_panels[panel - 1].toolTip == toolTip)
        return;
    m_panels[panel - 1].toolTip = toolTip;
    notify(PanelsChanged);
}

void WindowState::setComboText(ComboBox &combo, const QString &text)
{
    if (combo.text == text)
        return;
    combo.text = text;
    notify(CombosChanged);
}

void WindowState::typeComboText(ComboBox &combo, const QString &text)
{
    combo.list.setSelected(-1);
    combo.text = text;
    notify(CombosChanged);
}

ControlState WindowState::control(const QString &name) const
{
    return m_controls.value(name);
}

void WindowState::setVisible(const QString &name, bool visible)
{
    ControlState &c = m_controls[name];
    if (c.visible == visible)
        return;
    c.visible = visible;
    notify(ControlsChanged);
}

void WindowState::setEnabled(const QString &name, bool enabled)
{
    ControlState &c = m_controls[name];
    if (c.enabled == enabled)
        return;
    c.enabled = enabled;
    notify(ControlsChanged);
}

void WindowState::setGeometry(const QString &name, int left, int top, int width, int height)
{
    ControlState &c = m_controls[name];
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    notify(ControlsChanged);
}

void WindowState::setPictureImage(const QString &name, const QString &file)
{
    QString &shown = m_pictures[name];
    if (shown == file)
        return;
    shown = file;
    notify(PicturesChanged);
}

void WindowState::setPictureToolTip(const QString &name, const QString &toolTip)
{
    QString &shown = m_pictureToolTips[name];
    if (shown == toolTip)
        return;
    shown = toolTip;
    notify(PicturesChanged);
}

void WindowState::setMenuArray(const QString &name, const QStringList &captions)
{
    m_menuArrays[name] = captions;
    notify(MenusChanged);
}

void WindowState::addSaveFailure(const SaveFailure &failure)
{
    int at = 0;
    while (at < m_saveFailures.size() && m_saveFailures.at(at).file != failure.file)
        ++at;
    if (at == m_saveFailures.size())
        m_saveFailures.append(failure);
    else
        m_saveFailures[at] = failure;
    if (!m_unreportedSaveFailures.contains(at))
        m_unreportedSaveFailures.append(at);
    notify();
}

QList<SaveFailure> WindowState::takeUnreportedSaveFailures()
{
    QList<SaveFailure> failures;
    for (int at : std::as_const(m_unreportedSaveFailures))
        failures.append(m_saveFailures.at(at));
    m_unreportedSaveFailures.clear();
    return failures;
}

}  // namespace quorvane
