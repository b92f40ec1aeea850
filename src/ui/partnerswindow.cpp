#include "partnerswindow.h"

#include "partnertablemodel.h"

#include "host/desktop/desktophost.h"
#include "host/qt/qttimer.h"
#include "partners/browserrenderedlinks.h"
#include "partners/partnerlist.h"
#include "partners/partnerstore.h"
#include "partners/partnerscommand.h"
#include "partners/transferfetcher.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quorvane {

namespace {

constexpr int TransferCount = 4;
const char CsvFilter[] = "CSV file (*.csv)|*.csv";

qint64 wallClock()
{
    return QDateTime::currentMSecsSinceEpoch();
}

}  // namespace

PartnersWindow *PartnersWindow::create(const QString &programFolder, const QString &userAgent, DesktopHost &host,
                                       OpenPage openPage, QWidget *parent, QString *error)
{
    auto store = std::make_unique<PartnerStore>();
    if (!store->open(partnersDatabasePath(programFolder), error))
        return nullptr;
    auto writer = ThreadedCheckWriter::open(partnersDatabasePath(programFolder), error);
    if (!writer)
        return nullptr;
    auto *window = new PartnersWindow(host, std::move(openPage), parent);
    window->m_store = std::move(store);
    window->m_writer = std::move(writer);
    window->build(userAgent);
    return window;
}

PartnersWindow::PartnersWindow(DesktopHost &host, OpenPage openPage, QWidget *parent)
    : QWidget(parent, Qt::Window), m_host(host), m_openPage(std::move(openPage))
{
    setObjectName(QStringLiteral("Partners"));
    setWindowTitle(QStringLiteral("Partners"));
    resize(1000, 640);
}

PartnersWindow::~PartnersWindow()
{
    // The run goes before the transfers and the reader it uses.
    m_list.reset();
    m_rendered.reset();
    m_fetcher.reset();
}

void PartnersWindow::build(const QString &userAgent)
{
    QList<Transfer *> transfers;
    for (int i = 0; i < TransferCount; ++i) {
        m_transfers.push_back(m_host.newTransfer(QStringLiteral("Partners%1").arg(i + 1)));
        m_transfers.back()->setUserAgent(userAgent);
        transfers.append(m_transfers.back().get());
    }
    m_fetcher = std::make_unique<TransferFetcher>(transfers);
    m_wake = std::make_unique<QtTimer>(QStringLiteral("PartnersWake"));
    m_list = std::make_unique<PartnerList>(*m_store, *m_fetcher, *m_wake, &wallClock);
    m_list->setOffload(PartnerChecker::onThreadPool());
    m_list->setWriter(m_writer.get());
    m_reader = m_host.newHiddenReader(QStringLiteral("PartnersReader"));
    if (m_reader) {
        m_readerTimeout = std::make_unique<QtTimer>(QStringLiteral("PartnersReaderTimeout"));
        m_rendered = std::make_unique<BrowserRenderedLinks>(*m_reader, *m_readerTimeout);
        m_list->setRenderedLinks(m_rendered.get());
    }

    auto *layout = new QVBoxLayout(this);

    auto *sitesRow = new QHBoxLayout;
    auto *sitesLabel = new QLabel(QStringLiteral("&My sites:"), this);
    m_sites = new QLineEdit(m_list->sites().join(QStringLiteral(" ")), this);
    m_sites->setObjectName(QStringLiteral("sites"));
    m_sites->setPlaceholderText(QStringLiteral("example.com www.shop.example https://example.org/page.htm"));
    sitesLabel->setBuddy(m_sites);
    auto *saveSites = new QPushButton(QStringLiteral("Save sites"), this);
    connect(saveSites, &QPushButton::clicked, this, [this] { showMessage(setSites(m_sites->text())); });
    connect(m_sites, &QLineEdit::returnPressed, saveSites, &QPushButton::click);
    sitesRow->addWidget(sitesLabel);
    sitesRow->addWidget(m_sites, 1);
    sitesRow->addWidget(saveSites);
    layout->addLayout(sitesRow);

    auto *toolRow = new QHBoxLayout;
    m_verdictFilter = new QComboBox(this);
    m_verdictFilter->setObjectName(QStringLiteral("verdictFilter"));
    m_verdictFilter->addItem(QStringLiteral("All verdicts"), QString());
    m_verdictFilter->addItem(QStringLiteral("lost"), QStringLiteral("lost"));
    for (const QString &name : verdictNames())
        m_verdictFilter->addItem(name, name);
    m_statusFilter = new QComboBox(this);
    m_statusFilter->setObjectName(QStringLiteral("statusFilter"));
    m_statusFilter->addItem(QStringLiteral("All statuses"), QString());
    for (const QString &name : outreachNames())
        m_statusFilter->addItem(name, name);
    connect(m_verdictFilter, &QComboBox::currentIndexChanged, this,
            [this] { m_filter->setVerdictFilter(m_verdictFilter->currentData().toString()); });
    connect(m_statusFilter, &QComboBox::currentIndexChanged, this,
            [this] { m_filter->setStatusFilter(m_statusFilter->currentData().toString()); });
    m_checkAll = new QPushButton(QStringLiteral("Check all"), this);
    m_checkSelected = new QPushButton(QStringLiteral("Check selected"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setEnabled(false);
    auto *importButton = new QPushButton(QStringLiteral("Import CSV..."), this);
    auto *exportButton = new QPushButton(QStringLiteral("Export CSV..."), this);
    connect(m_checkAll, &QPushButton::clicked, this, &PartnersWindow::checkAll);
    connect(m_checkSelected, &QPushButton::clicked, this, &PartnersWindow::checkSelected);
    connect(m_cancel, &QPushButton::clicked, this, &PartnersWindow::cancelRun);
    connect(importButton, &QPushButton::clicked, this, &PartnersWindow::importCsv);
    connect(exportButton, &QPushButton::clicked, this, &PartnersWindow::exportCsv);
    toolRow->addWidget(new QLabel(QStringLiteral("Show:"), this));
    toolRow->addWidget(m_verdictFilter);
    toolRow->addWidget(m_statusFilter);
    toolRow->addStretch(1);
    for (QPushButton *b : {m_checkAll, m_checkSelected, m_cancel, importButton, exportButton})
        toolRow->addWidget(b);
    layout->addLayout(toolRow);

    m_model = new PartnerTableModel(*m_list, this);
    m_filter = new PartnerFilterModel(this);
    m_filter->setSourceModel(m_model);
    m_filter->setSortRole(PartnerTableModel::SortRole);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("partnerTable"));
    m_table->setModel(m_filter);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(PartnerTableModel::Page, 320);
    m_table->setWordWrap(false);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &PartnersWindow::showContextMenu);
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex &index) { openRow(index.row()); });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        syncEditor();
        syncHistory();
    });

    m_history = new QTableWidget(0, 8, this);
    m_history->setObjectName(QStringLiteral("history"));
    m_history->setHorizontalHeaderLabels({QStringLiteral("Checked"), QStringLiteral("Verdict"), QStringLiteral("HTTP"),
                                          QStringLiteral("Final address"), QStringLiteral("Rel"),
                                          QStringLiteral("Anchor text"), QStringLiteral("Robots"),
                                          QStringLiteral("Error")});
    m_history->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_history->horizontalHeader()->setStretchLastSection(true);

    m_changes = new QTableWidget(0, 3, this);
    m_changes->setObjectName(QStringLiteral("changes"));
    m_changes->setHorizontalHeaderLabels({QStringLiteral("Changed"), QStringLiteral("What"), QStringLiteral("From → to")});
    m_changes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_changes->horizontalHeader()->setStretchLastSection(true);
    auto *history = new QSplitter(Qt::Horizontal, this);
    history->addWidget(m_history);
    history->addWidget(m_changes);
    history->setStretchFactor(0, 3);
    history->setStretchFactor(1, 1);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_table);
    splitter->addWidget(history);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    auto *editor = new QGroupBox(QStringLiteral("Partner"), this);
    auto *form = new QFormLayout(editor);
    m_page = new QLineEdit(editor);
    m_site = new QLineEdit(editor);
    m_site->setPlaceholderText(QStringLiteral("empty: any of my sites"));
    m_anchor = new QLineEdit(editor);
    m_status = new QComboBox(editor);
    m_status->addItems(outreachNames());
    m_note = new QLineEdit(editor);
    form->addRow(QStringLiteral("&Page:"), m_page);
    form->addRow(QStringLiteral("Links &to:"), m_site);
    form->addRow(QStringLiteral("&Anchor:"), m_anchor);
    form->addRow(QStringLiteral("S&tatus:"), m_status);
    form->addRow(QStringLiteral("&Note:"), m_note);
    auto *editButtons = new QHBoxLayout;
    auto *save = new QPushButton(QStringLiteral("Save changes"), editor);
    auto *add = new QPushButton(QStringLiteral("Add as new partner"), editor);
    auto *remove = new QPushButton(QStringLiteral("Remove"), editor);
    m_undo = new QPushButton(QStringLiteral("Undo remove"), editor);
    m_undo->setEnabled(false);
    connect(save, &QPushButton::clicked, this, &PartnersWindow::saveEditor);
    connect(add, &QPushButton::clicked, this, &PartnersWindow::addFromEditor);
    connect(remove, &QPushButton::clicked, this, [this] { showMessage(removeSelected()); });
    connect(m_undo, &QPushButton::clicked, this, [this] { showMessage(undoRemove()); });
    for (QPushButton *b : {save, add, remove, m_undo})
        editButtons->addWidget(b);
    form->addRow(editButtons);
    layout->addWidget(editor);

    auto *statusRow = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_progress->setVisible(false);
    m_progressLabel = new QLabel(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_message = new QLabel(this);
    m_message->setTextFormat(Qt::PlainText);
    statusRow->addWidget(m_summary, 1);
    statusRow->addWidget(m_message, 1);
    statusRow->addWidget(m_progressLabel);
    statusRow->addWidget(m_progress);
    layout->addLayout(statusRow);

    // Keyboard: Delete removes, Ctrl+Z undoes, Enter opens, F5 checks the selection.
    auto shortcut = [this](QKeySequence key, auto slot) {
        auto *s = new QShortcut(key, m_table, nullptr, nullptr, Qt::WidgetShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Delete, [this] { showMessage(removeSelected()); });
    shortcut(QKeySequence::Undo, [this] { showMessage(undoRemove()); });
    shortcut(QKeySequence(Qt::Key_Return), [this] { openRow(m_table->currentIndex().row()); });
    shortcut(QKeySequence(Qt::Key_F5), [this] { checkSelected(); });

    connect(m_list.get(), &PartnerList::progress, this, &PartnersWindow::onProgress);
    connect(m_list.get(), &PartnerList::runFinished, this, [this](bool cancelled) {
        m_progress->setVisible(false);
        m_cancel->setEnabled(false);
        m_checkAll->setEnabled(true);
        m_checkSelected->setEnabled(true);
        m_progressLabel->setText(cancelled ? QStringLiteral("Cancelled") : QStringLiteral("Done"));
        syncSummary();
        syncHistory();
    });
    connect(m_list.get(), &PartnerList::storeFailed, this, &PartnersWindow::showMessage);
    connect(m_list.get(), &PartnerList::rowsChanged, this, &PartnersWindow::syncSummary);
    connect(m_list.get(), &PartnerList::rowChanged, this, &PartnersWindow::syncSummary);
    syncSummary();
}

void PartnersWindow::showMessage(const QString &text)
{
    m_message->setText(text);
}

QString PartnersWindow::addPartner(const QString &page)
{
    const QString error = m_list->add(page);
    showMessage(error.isEmpty() ? QStringLiteral("Added %1").arg(page.trimmed()) : error);
    return error;
}

void PartnersWindow::addPartners(const QStringList &pages)
{
    int added = 0;
    QString lastError;
    for (const QString &page : pages) {
        const QString error = m_list->add(page);
        if (error.isEmpty())
            ++added;
        else
            lastError = error;
    }
    QString text = QStringLiteral("Added %1 of %2").arg(added).arg(pages.size());
    if (!lastError.isEmpty())
        text += QStringLiteral(" (%1)").arg(lastError);
    showMessage(text);
}

QString PartnersWindow::setSites(const QString &sites)
{
    const QString error = m_list->setSites(sites.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts));
    if (error.isEmpty())
        m_sites->setText(m_list->sites().join(u' '));
    return error.isEmpty() ? QStringLiteral("Sites saved") : error;
}

void PartnersWindow::checkAll()
{
    if (m_list->running())
        return;
    m_list->checkAll();
}

void PartnersWindow::checkSelected()
{
    const QList<qint64> ids = selectedIds();
    if (m_list->running() || ids.isEmpty())
        return;
    m_list->check(ids);
}

void PartnersWindow::cancelRun()
{
    m_list->cancel();
}

void PartnersWindow::onProgress(int finished, int total)
{
    const bool running = m_list->running();
    m_progress->setVisible(running);
    m_progress->setRange(0, qMax(1, total));
    m_progress->setValue(finished);
    m_progressLabel->setText(QStringLiteral("%1 / %2").arg(finished).arg(total));
    m_cancel->setEnabled(running);
    m_checkAll->setEnabled(!running);
    m_checkSelected->setEnabled(!running);
}

QList<qint64> PartnersWindow::selectedIds() const
{
    QList<qint64> ids;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        ids.append(index.data(PartnerTableModel::IdRole).toLongLong());
    return ids;
}

bool PartnersWindow::selectRow(int row)
{
    if (row < 0 || row >= m_filter->rowCount())
        return false;
    m_table->selectRow(row);
    m_table->setCurrentIndex(m_filter->index(row, 0));
    return true;
}

QString PartnersWindow::removeSelected()
{
    const QList<qint64> ids = selectedIds();
    if (ids.isEmpty())
        return QStringLiteral("No partner selected");
    for (const qint64 id : ids) {
        if (const QString error = m_list->remove(id); !error.isEmpty())
            return error;
    }
    m_undo->setEnabled(m_list->canUndo());
    return QStringLiteral("Removed %1 (Ctrl+Z brings it back)").arg(ids.size() == 1 ? QStringLiteral("a partner")
                                                                                       : QStringLiteral("%1 partners").arg(ids.size()));
}

QString PartnersWindow::undoRemove()
{
    const QString error = m_list->undoRemove();
    m_undo->setEnabled(m_list->canUndo());
    return error.isEmpty() ? QStringLiteral("Partner restored") : error;
}

void PartnersWindow::setVerdictFilter(const QString &verdict)
{
    const int index = m_verdictFilter->findData(verdict == u"all" ? QString() : verdict);
    if (index >= 0)
        m_verdictFilter->setCurrentIndex(index);
}

void PartnersWindow::setStatusFilter(const QString &status)
{
    const int index = m_statusFilter->findData(status == u"all" ? QString() : status);
    if (index >= 0)
        m_statusFilter->setCurrentIndex(index);
}

bool PartnersWindow::openRow(int row)
{
    if (row < 0 || row >= m_filter->rowCount())
        return false;
    const qint64 id = m_filter->index(row, 0).data(PartnerTableModel::IdRole).toLongLong();
    const int sourceRow = m_list->rowOf(id);
    if (sourceRow < 0)
        return false;
    const QList<StoredCheck> checks = m_list->history(id);
    const QString link = checks.isEmpty() ? QString() : checks.first().record.linkAddress;
    if (m_openPage)
        m_openPage(m_list->rows().at(sourceRow).partner.page, link);
    return true;
}

void PartnersWindow::importCsv()
{
    const QString path = m_host.services().openFileDialog(QLatin1String(CsvFilter));
    if (path.isEmpty())
        return;
    const ImportOutcome outcome = m_list->importCsv(path);
    if (!outcome.fatal.isEmpty()) {
        m_host.services().messageBox(outcome.fatal, QStringLiteral("Import"), WindowServices::Buttons::Ok);
        return;
    }
    QString text = QStringLiteral("%1 partners added, %2 updated").arg(outcome.added).arg(outcome.updated);
    if (!outcome.errors.isEmpty()) {
        QStringList lines;
        for (const CsvLineError &e : outcome.errors.mid(0, 20))
            lines.append(QStringLiteral("line %1: %2").arg(e.line).arg(e.message));
        if (outcome.errors.size() > 20)
            lines.append(QStringLiteral("... and %1 more").arg(outcome.errors.size() - 20));
        m_host.services().messageBox(text + QStringLiteral("; not imported:\n") + lines.join(u'\n'),
                                     QStringLiteral("Import"), WindowServices::Buttons::Ok);
    }
    showMessage(text);
}

void PartnersWindow::exportCsv()
{
    const QString path = m_host.services().saveFileDialog(QLatin1String(CsvFilter));
    if (path.isEmpty())
        return;
    const QString error = m_list->exportCsv(path);
    showMessage(error.isEmpty() ? QStringLiteral("Written to %1").arg(path) : error);
}

void PartnersWindow::syncEditor()
{
    const QList<qint64> ids = selectedIds();
    const int row = ids.isEmpty() ? -1 : m_list->rowOf(ids.first());
    if (row < 0)
        return;
    const Partner &p = m_list->rows().at(row).partner;
    m_page->setText(p.page);
    m_site->setText(p.site);
    m_anchor->setText(p.anchor);
    m_status->setCurrentIndex(int(p.outreach));
    m_note->setText(p.note);
}

void PartnersWindow::saveEditor()
{
    const QList<qint64> ids = selectedIds();
    const int row = ids.isEmpty() ? -1 : m_list->rowOf(ids.first());
    if (row < 0) {
        showMessage(QStringLiteral("No partner selected"));
        return;
    }
    Partner p = m_list->rows().at(row).partner;
    p.page = m_page->text();
    p.site = m_site->text();
    p.anchor = m_anchor->text();
    p.outreach = Outreach(qMax(0, m_status->currentIndex()));
    p.note = m_note->text();
    const QString error = m_list->edit(p);
    showMessage(error.isEmpty() ? QStringLiteral("Saved") : error);
}

QString PartnersWindow::editSelected(const QString &field, const QString &value)
{
    const QList<qint64> ids = selectedIds();
    const int row = ids.isEmpty() ? -1 : m_list->rowOf(ids.first());
    if (row < 0)
        return QStringLiteral("No partner selected");
    Partner p = m_list->rows().at(row).partner;
    if (field == u"site")
        p.site = value;
    else if (field == u"anchor")
        p.anchor = value;
    else if (field == u"note")
        p.note = value;
    else if (field == u"status") {
        const auto outreach = outreachFromName(value);
        if (!outreach)
            return QStringLiteral("status \"%1\" is none of %2").arg(value, outreachNames().join(u", "));
        p.outreach = *outreach;
    } else
        return QStringLiteral("no field \"%1\" (site, anchor, note or status)").arg(field);
    const QString error = m_list->edit(p);
    syncEditor();
    return error;
}

void PartnersWindow::addFromEditor()
{
    const QString error = m_list->add(m_page->text(), m_site->text(), m_anchor->text(),
                                      Outreach(qMax(0, m_status->currentIndex())), m_note->text());
    showMessage(error.isEmpty() ? QStringLiteral("Added") : error);
}

void PartnersWindow::syncHistory()
{
    m_history->setRowCount(0);
    m_changes->setRowCount(0);
    const QList<qint64> ids = selectedIds();
    if (ids.isEmpty())
        return;
    const QList<StatusChange> changes = m_list->changes(ids.first());
    m_changes->setRowCount(int(qMin<qsizetype>(changes.size(), 500)));
    for (int i = 0; i < m_changes->rowCount(); ++i) {
        const StatusChange &c = changes.at(i);
        const QStringList cells = {
            QDateTime::fromMSecsSinceEpoch(c.at).toString(QStringLiteral("yyyy-MM-dd HH:mm")), c.what,
            (c.from.isEmpty() ? QStringLiteral("(new)") : c.from) + QStringLiteral(" → ") + c.to};
        for (int col = 0; col < cells.size(); ++col)
            m_changes->setItem(i, col, new QTableWidgetItem(cells.at(col)));
    }
    const QList<StoredCheck> checks = m_list->history(ids.first());
    m_history->setRowCount(int(qMin<qsizetype>(checks.size(), 500)));
    for (int i = 0; i < m_history->rowCount(); ++i) {
        const CheckRecord &r = checks.at(i).record;
        const QStringList cells = {
            QDateTime::fromMSecsSinceEpoch(r.checkedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            verdictName(checks.at(i).verdict),
            r.httpStatus ? QString::number(r.httpStatus) : QString(),
            r.finalAddress,
            r.rel.join(u' '),
            r.anchorText,
            r.robots.join(u' '),
            r.error};
        for (int c = 0; c < cells.size(); ++c)
            m_history->setItem(i, c, new QTableWidgetItem(cells.at(c)));
    }
}

void PartnersWindow::syncSummary()
{
    m_summary->setText(summaryText());
}

QString PartnersWindow::summaryText() const
{
    return m_list->summary();
}

QString PartnersWindow::progressText() const
{
    return m_progressLabel->text();
}

int PartnersWindow::shownRows() const
{
    return m_filter->rowCount();
}

void PartnersWindow::showContextMenu(const QPoint &at)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Check"), this, &PartnersWindow::checkSelected);
    menu->addAction(QStringLiteral("Edit"), this, [this] { m_page->setFocus(); });
    menu->addAction(QStringLiteral("Remove"), this, [this] { showMessage(removeSelected()); });
    QAction *undo = menu->addAction(QStringLiteral("Undo remove"), this, [this] { showMessage(undoRemove()); });
    undo->setEnabled(m_list->canUndo());
    menu->addAction(QStringLiteral("Copy address"), this, [this] {
        QStringList pages;
        for (const qint64 id : selectedIds()) {
            if (const int row = m_list->rowOf(id); row >= 0)
                pages.append(m_list->rows().at(row).partner.page);
        }
        QApplication::clipboard()->setText(pages.join(u'\n'));
    });
    menu->popup(m_table->viewport()->mapToGlobal(at));  // not exec(): no nested event loop
}

}  // namespace quorvane
