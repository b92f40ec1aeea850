#pragma once

#include "journalstore.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLockFile;
class QThread;

namespace quorvane {

class Host;
class WindowState;
struct Config;

// Records what the user would miss after a crash (the links and their
// report rows, found pages, page queue, pictures, catalogs, address-bar
// entries, history, favorites, the home-page walk, the keyword box) into a
// SQLite journal in the program folder, at most a second behind: each tick
// of its timer hands the lists that changed to a writer thread, so the window
// never waits for the disk. A clean shutdown marks the session closed; the
// next start after an unclean end offers to restore it.
class SessionJournal final : public QObject {
    Q_OBJECT
public:
    static constexpr int FlushIntervalMs = 1000;
    static constexpr const char *FileName = "session.db";

    enum class Restore {
        Ask,     // after an unclean end only
        Always,  // after any end, without asking
        Newest,  // the newest kept session, whatever its end, without asking
    };

    SessionJournal(WindowState &state, Host &host, const Config &config, QObject *parent = nullptr);
    ~SessionJournal() override;

    // State kept outside the window's lists (the readers' pages in flight).
    // Sources are restored after the lists, in the order they were added.
    void addSource(const QString &name, std::function<QStringList()> read,
                   std::function<void(const QStringList &)> restore);

    // Opens the journal, restores the previous session as mode says (asking
    // when it must), then records from here on.
    void start(Restore mode);
    // Hands what changed to the writer now (nothing while an unrecorded
    // private session runs); sync() also waits until it is on disk.
    void flush();
    void sync();
    // The clean end: writes the last changes and marks the session closed.
    void close();

    bool recording() const { return m_session != 0; }
    QString path() const;
    // The question asked after an unclean end, with the counts of image.
    static QString restoreQuestion(const SessionImage &image);
    // The lists the journal keeps, by control name.
    static const QStringList &trackedLists();

private:
    struct Source {
        QString name;
        std::function<QStringList()> read;
        std::function<void(const QStringList &)> restore;
    };
    class Writer;

    void onTick();
    bool paused() const;
    QHash<QString, QString> currentValues() const;
    SessionImage changes();
    void apply(const SessionImage &image);
    // Runs fn on the writer thread and waits for it.
    void onWriter(const std::function<void(JournalStore &)> &fn);
    void reportProblem(const QString &text);

    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
    std::unique_ptr<QThread> m_thread;
    Writer *m_writer = nullptr;
    std::unique_ptr<QLockFile> m_lock;
    QList<Source> m_sources;
    qint64 m_session = 0;
    // What the writer was last given, to send only what changed.
    QHash<QString, quint64> m_sentRevisions;
    QHash<QString, QString> m_sentValues;
    QHash<QString, QStringList> m_sentLists;
    bool m_failing = false;
};

}  // namespace quorvane
