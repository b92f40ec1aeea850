#pragma once

#include "listcontrol.h"
#include "provenance.h"
#include "savekeeper.h"
#include "workprogress.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <utility>

namespace quorvane {

// Position and flags of one control; geometry in twips, -1 when not placed.
struct ControlState {
    bool visible = true;
    bool enabled = true;
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
};

struct ComboBox {
    QString text;
    ListControl list;
    int selected() const { return list.selected(); }
};

struct StatusPanel {
    QString text;
    QString toolTip;
};

// The lists, flags and texts of the main window that every subsystem shares.
// Views bind to it; the logic changes it; the automation dump reads it.
class WindowState final {
public:
    static constexpr int PanelCount = 8;
    static constexpr int CatalogCount = 21;

    // What a change touched, so that a view redraws only that. A plain
    // notify() marks everything.
    enum Change : unsigned {
        CaptionChanged = 1u << 0,
        ListsChanged = 1u << 1,     // entries or selection of a list (not the combos')
        CombosChanged = 1u << 2,    // text, entries or selection of Combo1, Combo2
        ControlsChanged = 1u << 3,  // visibility, enabled state, geometry
        MenusChanged = 1u << 4,     // run-time menu arrays
        PanelsChanged = 1u << 5,
        PicturesChanged = 1u << 6,
        FocusChanged = 1u << 7,
        FlagsChanged = 1u << 8,     // flags, counters, catalogs, order mode: no widget shows them
        AllChanged = (1u << 9) - 1,
    };

    WindowState();
    WindowState(const WindowState &) = delete;
    WindowState &operator=(const WindowState &) = delete;

    // Called after any change that a view shows (lists, texts, controls, menus).
    void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }
    void notify(unsigned changes = AllChanged) const;
    // What changed since the last call, cleared.
    unsigned takeChanges() const { return std::exchange(m_changes, 0u); }

    // Sorted lists.
    ListControl listlinks, listlinks2, List1, List2, favorit, favorit2, domain, domain2;
    // Lists in insertion order.
    ListControl List3, List4, List5, List6, List7;
    ListControl ara2, pubsearch, privchann, privsearch;
    ListControl pass, pass_search, pass_chann, today;

    // Where the entries of the lists above came from, for the exports.
    Provenance provenance;

    ComboBox Combo1;  // keyword box
    ComboBox Combo2;  // address bar

    // Window flags. Each setter tells the views, so none can be left stale.
    bool privateZone() const { return m_privateZone; }
    void setPrivateZone(bool on)
    {
        setFlag(m_privateZone, on);
        provenance.setPaused(m_privateZone && !m_keepPrivateRecord);
    }
    // In the private zone: the user asked to keep a record of the pages seen.
    bool keepPrivateRecord() const { return m_keepPrivateRecord; }
    void setKeepPrivateRecord(bool on)
    {
        setFlag(m_keepPrivateRecord, on);
        provenance.setPaused(m_privateZone && !m_keepPrivateRecord);
    }
    bool harvestRequested() const { return m_harvestRequested; }
    void setHarvestRequested(bool on) { setFlag(m_harvestRequested, on); }
    bool imageBufferShown() const { return m_imageBufferShown; }
    void setImageBufferShown(bool on) { setFlag(m_imageBufferShown, on); }
    // A keyword search runs: found pages are written into Browser 1 as rows.
    bool keywordMode() const { return m_keywordMode; }
    void setKeywordMode(bool on) { setFlag(m_keywordMode, on); }
    bool collectImages() const { return m_collectImages; }
    void setCollectImages(bool on) { setFlag(m_collectImages, on); }
    // Whether the document events of Browser 1 and Browser 2 are connected.
    bool mainViewEventsConnected() const { return m_mainViewEvents; }
    void setMainViewEventsConnected(bool on) { setFlag(m_mainViewEvents, on); }
    bool secondViewEventsConnected() const { return m_secondViewEvents; }
    void setSecondViewEventsConnected(bool on) { setFlag(m_secondViewEvents, on); }
    // 16-bit counters, as the window has always kept them.
    qint16 currentLinkIndex() const { return m_currentLinkIndex; }
    void setCurrentLinkIndex(qint16 index) { setCounter(m_currentLinkIndex, index); }
    qint16 bufferFileCounter() const { return m_bufferFileCounter; }
    void setBufferFileCounter(qint16 counter) { setCounter(m_bufferFileCounter, counter); }

    // The generator's order form: "online" (card payment) or "phone" (e-mail).
    const QString &orderMode() const { return m_orderMode; }
    void setOrderMode(const QString &mode)
    {
        m_orderMode = mode;
        notify(FlagsChanged);
    }
    QStringList catalogs;  // CatalogCount entries
    // The long work under way, for the status bar's progress bar.
    WorkProgress progress;

    // Lists by control name (including "Combo1" and "Combo2" for their drop-down lists).
    ListControl *list(const QString &name);
    const ListControl *list(const QString &name) const;
    QList<const ListControl *> lists() const;
    // Named flags for the dump and the automation interface.
    QVector<QPair<QString, qint16>> flags() const;

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // Panels are numbered from 1; out-of-range numbers are ignored.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);
    QString panelToolTip(int panel) const;
    void setPanelToolTip(int panel, const QString &toolTip);
    void setComboText(ComboBox &combo, const QString &text);
    // Text the user types: it names no entry of the drop-down list any more, so
    // none is selected (the catalogs go by the selected keyword entry).
    void typeComboText(ComboBox &combo, const QString &text);

    // Controls other than the lists' entries: visibility, enabled state, geometry.
    ControlState control(const QString &name) const;
    void setVisible(const QString &name, bool visible);
    void setEnabled(const QString &name, bool enabled);
    void setGeometry(const QString &name, int left, int top, int width, int height);
    QStringList controlNames() const { return m_controls.keys(); }

    // Run-time menu arrays (pubch, pubs, privch, privs): captions by index.
    QStringList menuArray(const QString &name) const { return m_menuArrays.value(name); }
    void setMenuArray(const QString &name, const QStringList &captions);
    QStringList menuArrayNames() const { return m_menuArrays.keys(); }

    // Picture buttons: the bitmap file each one shows ("back1.bmp").
    QString pictureImage(const QString &name) const { return m_pictures.value(name); }
    // Setting the image already shown changes nothing, so nothing repaints.
    void setPictureImage(const QString &name, const QString &file);
    QStringList pictureNames() const { return m_pictures.keys(); }
    // A button's tool tip when it differs from the design's (it names a program).
    QString pictureToolTip(const QString &name) const { return m_pictureToolTips.value(name); }
    void setPictureToolTip(const QString &name, const QString &toolTip);

    // Asks the window to give a control the input focus; the window acts on
    // each request once, by its count.
    void requestFocus(const QString &name);
    QString focusRequest() const { return m_focusRequest; }
    quint64 focusRequestCount() const { return m_focusRequests; }

    quint64 revision() const { return m_revision; }

    // Files that could not be saved this run, one entry per file (the latest
    // failure), in the order they first failed.
    const QList<SaveFailure> &saveFailures() const { return m_saveFailures; }
    void addSaveFailure(const SaveFailure &failure);
    // The failures the user has not been told of yet; they count as told after this.
    QList<SaveFailure> takeUnreportedSaveFailures();

private:
    ListControl makeList(const char *name, bool sorted, Change change = ListsChanged);
    template <typename Flag>
    void setFlag(Flag &flag, bool on)
    {
        flag = on ? 1 : 0;
        notify(FlagsChanged);
    }
    void setCounter(qint16 &counter, qint16 value)
    {
        counter = value;
        notify(FlagsChanged);
    }

    std::function<void()> m_listener;
    mutable quint64 m_revision = 0;
    mutable unsigned m_changes = 0;
    QString m_caption;
    StatusPanel m_panels[PanelCount];
    QMap<QString, ControlState> m_controls;
    QMap<QString, QStringList> m_menuArrays;
    QMap<QString, QString> m_pictures;
    QMap<QString, QString> m_pictureToolTips;
    QList<SaveFailure> m_saveFailures;
    QList<int> m_unreportedSaveFailures;
    QString m_focusRequest;
    quint64 m_focusRequests = 0;
    // Flags are 16-bit with 1 for true, as the dump shows them.
    QString m_orderMode;
    qint16 m_privateZone = 0;
    qint16 m_keepPrivateRecord = 0;
    qint16 m_harvestRequested = 0;
    qint16 m_imageBufferShown = 0;
    qint16 m_keywordMode = 0;
    qint16 m_collectImages = 0;
    qint16 m_currentLinkIndex = 0;
    qint16 m_bufferFileCounter = 0;
    bool m_mainViewEvents = false;
    bool m_secondViewEvents = false;
};

}  // namespace quorvane
