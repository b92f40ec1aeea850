#include "sessionjournal.h"

#include "core/config.h"
#include "core/savekeeper.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

namespace quorvane {

// Lives on the journal's thread and owns the store there.
class SessionJournal::Writer final : public QObject {
public:
    std::unique_ptr<JournalStore> store;
};

namespace {
const QString favoriteLists[] = {QStringLiteral("favorit"), QStringLiteral("favorit2")};
const QString catalogsName = QStringLiteral("catalogs");

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
}  // namespace

SessionJournal::SessionJournal(WindowState &state, Host &host, const Config &config, QObject *parent)
    : QObject(parent), m_state(state), m_host(host), m_config(config)
{
    if (Timer *timer = m_host.timer(TimerId::JournalFlush)) {
        timer->setInterval(FlushIntervalMs);
        connect(timer, &Timer::timeout, this, &SessionJournal::onTick);
    }
}

SessionJournal::~SessionJournal()
{
    if (m_thread) {
        onWriter([](JournalStore &) {});
        QMetaObject::invokeMethod(m_writer, [w = m_writer] { w->store.reset(); }, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
        delete m_writer;
    }
}

const QStringList &SessionJournal::trackedLists()
{
    // Not the lists the home site sends at every start, nor the account list.
    static const QStringList lists = {
        QStringLiteral("listlinks"), QStringLiteral("listlinks2"), QStringLiteral("List1"),  QStringLiteral("List2"),
        QStringLiteral("List3"),     QStringLiteral("List4"),      QStringLiteral("List5"),  QStringLiteral("List6"),
        QStringLiteral("List7"),     QStringLiteral("favorit"),    QStringLiteral("favorit2"), QStringLiteral("domain"),
        QStringLiteral("domain2"),   QStringLiteral("Combo1"),     QStringLiteral("Combo2")};
    return lists;
}

void SessionJournal::addSource(const QString &name, std::function<QStringList()> read,
                               std::function<void(const QStringList &)> restore)
{
    m_sources.append({name, std::move(read), std::move(restore)});
}

QString SessionJournal::path() const
{
    // A read-only program folder still gets a journal, in the user's state folder.
    const QString folder = programFolderProblem(m_config).isEmpty() || m_config.stateFolder.isEmpty()
                               ? m_config.programFolder
                               : m_config.stateFolder;
    return QDir(folder).filePath(QString::fromLatin1(FileName));
}

void SessionJournal::onWriter(const std::function<void(JournalStore &)> &fn)
{
    if (!m_writer)
        return;
    QMetaObject::invokeMethod(
        m_writer, [w = m_writer, &fn] {
            if (w->store)
                fn(*w->store);
        },
        Qt::BlockingQueuedConnection);
}

void SessionJournal::reportProblem(const QString &text)
{
    m_state.setPanelText(1, text);
}

QString SessionJournal::restoreQuestion(const SessionImage &image)
{
    const auto count = [&image](const QString &name) { return int(image.lists.value(name).size()); };
    int catalogs = 0;
    for (const QString &catalog : image.lists.value(catalogsName))
        catalogs += catalog.isEmpty() ? 0 : 1;
    const int left = count(QStringLiteral("List4")) + count(QStringLiteral("readerPages"))
                   + count(QStringLiteral("queuePage"));
    return QStringLiteral("Quorvane did not close properly. Restore the previous session? "
                          "(%1 links, %2 found pages, %3 pages left to read, %4 pictures, %5 catalogs)")
        .arg(count(QStringLiteral("listlinks")))
        .arg(count(QStringLiteral("List1")))
        .arg(left)
        .arg(count(QStringLiteral("List2")))
        .arg(catalogs);
}

void SessionJournal::start(Restore mode)
{
    const QString file = path();
    m_lock = std::make_unique<QLockFile>(file + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        reportProblem(QStringLiteral("Another Quorvane uses %1: this window keeps no session journal")
                          .arg(QDir::toNativeSeparators(QFileInfo(file).absolutePath())));
        return;
    }
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("session journal"));
    m_writer = new Writer;
    m_writer->moveToThread(m_thread.get());
    m_thread->start();

    bool opened = false;
    QString problem;
    QList<JournalStore::Session> sessions;
    QMetaObject::invokeMethod(
        m_writer, [&, w = m_writer] {
            w->store = std::make_unique<JournalStore>(file);
            opened = w->store->open(&problem);
            if (opened)
                sessions = w->store->sessions();
            else
                w->store.reset();
        },
        Qt::BlockingQueuedConnection);
    if (!problem.isEmpty())
        reportProblem(problem);
    if (!opened)
        return;

    // Which session to offer, and whether to ask.
    const JournalStore::Session *candidate = nullptr;
    bool ask = false;
    if (!sessions.isEmpty()) {
        if (mode == Restore::Newest) {
            candidate = &sessions.first();
            for (const JournalStore::Session &s : std::as_const(sessions)) {
                if (!s.closed || s.declined) {
                    candidate = &s;
                    break;
                }
            }
        } else if (!sessions.first().closed) {
            candidate = &sessions.first();
            ask = true;
        } else if (mode == Restore::Always) {
            candidate = &sessions.first();
        }
    }
    if (candidate) {
        SessionImage image;
        const qint64 id = candidate->id;
        onWriter([&](JournalStore &s) { image = s.load(id); });
        if (!image.isEmpty()) {
            const bool restore = !ask
                              || m_host.services().messageBox(restoreQuestion(image), QStringLiteral("Question???"),
                                                              WindowServices::Buttons::YesNo)
                                     == WindowServices::Answer::Yes;
            if (restore)
                apply(image);
            else
                onWriter([id](JournalStore &s) { s.markDeclined(id); });
        }
    }
    const qint64 newest = sessions.isEmpty() ? 0 : sessions.first().id;
    onWriter([&](JournalStore &s) {
        m_session = s.beginSession();
        // The session before stays for one more start (--restore-session).
        s.keepOnly({m_session, newest});
    });
    if (Timer *timer = m_host.timer(TimerId::JournalFlush))
        timer->setEnabled(m_session != 0);
}

void SessionJournal::apply(const SessionImage &image)
{
    for (const QString &name : trackedLists()) {
        ListControl *list = m_state.list(name);
        if (!list || !image.lists.contains(name))
            continue;
        const QStringList &items = image.lists.value(name);
        if (std::find(std::begin(favoriteLists), std::end(favoriteLists), name) != std::end(favoriteLists)) {
            // Favorites are saved as they change: the file may be newer than
            // the journal's last second, so nothing of either is dropped.
            for (const QString &item : items) {
                if (!list->contains(item))
                    list->add(item);
            }
        } else {
            list->setItems(items);
        }
    }
    if (image.lists.contains(catalogsName)) {
        QStringList catalogs = image.lists.value(catalogsName).mid(0, WindowState::CatalogCount);
        while (catalogs.size() < WindowState::CatalogCount)
            catalogs.append(QString());
        m_state.catalogs = catalogs;
    }
    const auto value = [&image](const char *name, bool *found) {
        const auto it = image.values.constFind(QString::fromLatin1(name));
        *found = it != image.values.cend();
        return *found ? *it : QString();
    };
    bool found = false;
    if (const QString text = value("Combo1.text", &found); found)
        m_state.setComboText(m_state.Combo1, text);
    if (const QString text = value("Combo2.text", &found); found)
        m_state.setComboText(m_state.Combo2, text);
    if (const QString n = value("currentLinkIndex", &found); found)
        m_state.setCurrentLinkIndex(qint16(n.toShort()));
    if (const QString n = value("bufferFileCounter", &found); found)
        m_state.setBufferFileCounter(qint16(n.toShort()));
    if (const QString n = value("keywordMode", &found); found)
        m_state.setKeywordMode(n == QLatin1String("1"));
    if (const QString n = value("collectImages", &found); found)
        m_state.setCollectImages(n == QLatin1String("1"));
    if (const QString n = value("harvestRequested", &found); found)
        m_state.setHarvestRequested(n == QLatin1String("1"));
    for (const Source &source : std::as_const(m_sources)) {
        if (image.lists.contains(source.name))
            source.restore(image.lists.value(source.name));
    }
    m_state.setPanelText(1, QStringLiteral("Previous session restored"));
    m_state.notify();
}

QHash<QString, QString> SessionJournal::currentValues() const
{
    return {
        {QStringLiteral("Combo1.text"), m_state.Combo1.text},
        {QStringLiteral("Combo2.text"), m_state.Combo2.text},
        {QStringLiteral("currentLinkIndex"), QString::number(m_state.currentLinkIndex())},
        {QStringLiteral("bufferFileCounter"), QString::number(m_state.bufferFileCounter())},
        {QStringLiteral("keywordMode"), flag(m_state.keywordMode())},
        {QStringLiteral("collectImages"), flag(m_state.collectImages())},
        {QStringLiteral("harvestRequested"), flag(m_state.harvestRequested())},
    };
}

SessionImage SessionJournal::changes()
{
    SessionImage changed;
    for (const QString &name : trackedLists()) {
        const ListControl *list = m_state.list(name);
        if (!list)
            continue;
        const auto sent = m_sentRevisions.constFind(name);
        if (sent != m_sentRevisions.cend() && *sent == list->revision())
            continue;
        // A shared copy: the writer thread encodes it while the window goes on.
        changed.lists.insert(name, list->items());
        m_sentRevisions.insert(name, list->revision());
    }
    const auto compare = [&](const QString &name, const QStringList &now) {
        const auto sent = m_sentLists.constFind(name);
        if (sent != m_sentLists.cend() && *sent == now)
            return;
        changed.lists.insert(name, now);
        m_sentLists.insert(name, now);
    };
    compare(catalogsName, m_state.catalogs);
    for (const Source &source : std::as_const(m_sources))
        compare(source.name, source.read());
    const QHash<QString, QString> values = currentValues();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const auto sent = m_sentValues.constFind(it.key());
        if (sent == m_sentValues.cend() || *sent != it.value()) {
            changed.values.insert(it.key(), it.value());
            m_sentValues.insert(it.key(), it.value());
        }
    }
    return changed;
}

bool SessionJournal::paused() const
{
    // An unrecorded private session leaves nothing behind, in the journal neither.
    return m_state.privateZone() && !m_state.keepPrivateRecord();
}

void SessionJournal::onTick()
{
    flush();
}

void SessionJournal::flush()
{
    if (!recording() || paused())
        return;
    SessionImage changed = changes();
    if (changed.isEmpty())
        return;
    QMetaObject::invokeMethod(
        m_writer,
        [this, w = m_writer, session = m_session, changed = std::move(changed)] {
            if (!w->store)
                return;
            const bool ok = w->store->write(session, changed);
            const QString error = ok ? QString() : w->store->lastError();
            QMetaObject::invokeMethod(this, [this, ok, error] {
                if (!ok) {
                    // What the failed write carried is not in the journal:
                    // the next tick hands over everything again.
                    m_sentRevisions.clear();
                    m_sentValues.clear();
                    m_sentLists.clear();
                }
                // Told once per run of failures, and again after a recovery.
                if (ok == !m_failing)
                    return;
                m_failing = !ok;
                m_state.setPanelText(1, ok ? QStringLiteral("Session journal written again")
                                           : QStringLiteral("Cannot write the session journal: %1").arg(error));
            });
        },
        Qt::QueuedConnection);
}

void SessionJournal::sync()
{
    flush();
    onWriter([](JournalStore &) {});
}

void SessionJournal::close()
{
    if (!recording())
        return;
    if (Timer *timer = m_host.timer(TimerId::JournalFlush))
        timer->setEnabled(false);
    flush();
    const qint64 session = m_session;
    onWriter([session](JournalStore &s) { s.markClosed(session); });
    m_session = 0;
}

}  // namespace quorvane
