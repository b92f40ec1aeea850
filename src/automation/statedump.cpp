#include "statedump.h"

#include "sitegendump.h"
#include "core/windowstate.h"
#include "host/host.h"
#include "host/scriptedservices.h"
#include "shell/menutree.h"
#include "shell/toolbar.h"

#include <QJsonArray>

#include <algorithm>

namespace quorvane {

namespace {
QJsonArray toArray(const QStringList &items)
{
    return QJsonArray::fromStringList(items);
}

QJsonObject controlJson(const ControlState &c)
{
    QJsonObject o{{QStringLiteral("visible"), c.visible}, {QStringLiteral("enabled"), c.enabled}};
    if (c.left >= 0 || c.width >= 0) {
        o.insert(QStringLiteral("left"), c.left);
        o.insert(QStringLiteral("top"), c.top);
        o.insert(QStringLiteral("width"), c.width);
        o.insert(QStringLiteral("height"), c.height);
    }
    return o;
}
}  // namespace

QJsonObject dumpState(const WindowState &state, Host &host, const ScriptedServices *services,
                      const SiteGenerator *generator)
{
    QJsonObject dump;
    dump.insert(QStringLiteral("caption"), state.caption());
    for (const ListControl *list : state.lists()) {
        // The account passwords are masked as a typed password is: a dump
        // goes to files and logs.
        QStringList items = list->items();
        if (list == &state.pass)
            std::fill(items.begin(), items.end(), QStringLiteral("***"));
        dump.insert(list->name(), QJsonObject{{QStringLiteral("items"), toArray(items)},
                                              {QStringLiteral("selected"), list->selected()},
                                              {QStringLiteral("visible"), state.control(list->name()).visible}});
    }
    for (const ComboBox *combo : {&state.Combo1, &state.Combo2}) {
        dump.insert(combo->list.name(), QJsonObject{{QStringLiteral("text"), combo->text},
                                                    {QStringLiteral("items"), toArray(combo->list.items())},
                                                    {QStringLiteral("selected"), combo->list.selected()},
                                                    {QStringLiteral("visible"), state.control(combo->list.name()).visible}});
    }
    QJsonArray panels;
    for (int p = 1; p <= WindowState::PanelCount; ++p) {
        panels.append(QJsonObject{{QStringLiteral("text"), state.panelText(p)},
                                  {QStringLiteral("toolTip"), state.panelToolTip(p)}});
    }
    const WorkProgress &progress = state.progress;
    const QJsonObject progressJson{{QStringLiteral("work"), WorkProgress::workName(progress.work())},
                                   {QStringLiteral("phase"), WorkProgress::phaseName(progress.phase())},
                                   {QStringLiteral("done"), progress.done()},
                                   {QStringLiteral("total"), progress.total()},
                                   {QStringLiteral("found"), progress.found()},
                                   {QStringLiteral("elapsedMs"), double(progress.elapsedMs())},
                                   {QStringLiteral("text"), progress.text()}};
    dump.insert(QStringLiteral("StatusBar1"),
                QJsonObject{{QStringLiteral("panels"), panels}, {QStringLiteral("progress"), progressJson}});
    for (const auto &[name, value] : state.flags())
        dump.insert(name, value);
    dump.insert(QStringLiteral("DocEvents"), state.mainViewEventsConnected());
    dump.insert(QStringLiteral("DocEvents5"), state.secondViewEventsConnected());
    dump.insert(QStringLiteral("orderMode"), state.orderMode());
    dump.insert(QStringLiteral("catalogs"), toArray(state.catalogs));
    // How much the exports know of where the results came from.
    const Provenance &provenance = state.provenance;
    dump.insert(QStringLiteral("provenance"),
                QJsonObject{{QStringLiteral("links"), int(provenance.links().size())},
                            {QStringLiteral("foundPages"), int(provenance.foundPages().size())},
                            {QStringLiteral("emails"), int(provenance.emails().size())},
                            {QStringLiteral("images"), int(provenance.images().size())},
                            {QStringLiteral("paused"), provenance.paused()}});

    for (BrowserId id : AllBrowsers) {
        if (Browser *b = host.browser(id)) {
            dump.insert(b->name(), QJsonObject{{QStringLiteral("url"), b->locationUrl()},
                                               {QStringLiteral("title"), b->locationName()},
                                               {QStringLiteral("visible"), b->isVisible()},
                                               {QStringLiteral("busy"), b->busy()}});
        }
    }
    for (TransferSlot slot : AllTransferSlots) {
        if (Transfer *t = host.transfer(slot)) {
            dump.insert(t->name(), QJsonObject{{QStringLiteral("url"), t->url()},
                                               {QStringLiteral("executing"), t->stillExecuting()}});
        }
    }
    for (TimerId id : AllTimers) {
        if (Timer *t = host.timer(id)) {
            dump.insert(t->name(), QJsonObject{{QStringLiteral("enabled"), t->enabled()},
                                               {QStringLiteral("interval"), t->interval()}});
        }
    }
    QJsonObject menus;
    for (const QString &name : state.menuArrayNames())
        menus.insert(name, toArray(state.menuArray(name)));
    dump.insert(QStringLiteral("menus"), menus);
    QJsonObject controls;
    for (const QString &name : state.controlNames())
        controls.insert(name, controlJson(state.control(name)));
    dump.insert(QStringLiteral("controls"), controls);
    // Picture buttons: the bitmap shown now, and whether the button is shown.
    QJsonObject pictures;
    for (const QString &name : state.pictureNames()) {
        const PictureButtonInfo *button = Toolbar::button(name);
        const QString toolTip = state.pictureToolTip(name).isEmpty() && button ? QString::fromLatin1(button->toolTip)
                                                                              : state.pictureToolTip(name);
        pictures.insert(name, QJsonObject{{QStringLiteral("image"), state.pictureImage(name)},
                                          {QStringLiteral("visible"), state.control(name).visible},
                                          {QStringLiteral("toolTip"), toolTip}});
    }
    dump.insert(QStringLiteral("pictures"), pictures);
    // Menu entries: enabled and visible, as the logic last set them or by design.
    const QStringList placed = state.controlNames();
    QJsonObject menuEntries;
    for (const MenuEntry &entry : menuTree()) {
        const QString name = QString::fromLatin1(entry.name);
        const ControlState c = state.control(name);
        const bool isPlaced = placed.contains(name);
        menuEntries.insert(name, QJsonObject{{QStringLiteral("caption"), QString::fromLatin1(entry.caption)},
                                             {QStringLiteral("enabled"), isPlaced ? c.enabled : true},
                                             {QStringLiteral("visible"), isPlaced ? c.visible : !entry.hidden}});
    }
    dump.insert(QStringLiteral("menuEntries"), menuEntries);

    QJsonArray saveFailures;
    for (const SaveFailure &f : state.saveFailures()) {
        saveFailures.append(QJsonObject{{QStringLiteral("file"), f.file},
                                        {QStringLiteral("reason"), f.reason},
                                        {QStringLiteral("copy"), f.copy}});
    }
    dump.insert(QStringLiteral("saveFailures"), saveFailures);
    if (services) {
        QJsonArray dialogs;
        for (const ScriptedServices::Record &r : services->records()) {
            dialogs.append(QJsonObject{{QStringLiteral("kind"), r.kind},
                                       {QStringLiteral("title"), r.title},
                                       {QStringLiteral("text"), r.text},
                                       {QStringLiteral("answer"), r.answer},
                                       {QStringLiteral("answered"), r.answered}});
        }
        dump.insert(QStringLiteral("dialogs"), dialogs);
    }
    if (generator)
        addSiteGeneratorDump(dump, *generator);
    return dump;
}

}  // namespace quorvane
