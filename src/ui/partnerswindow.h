#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTableWidget;

namespace quorvane {

class Browser;
class BrowserRenderedLinks;
class DesktopHost;
class PartnerFilterModel;
class PartnerList;
class CheckWriter;
class PartnerStore;
class PartnerTableModel;
class Timer;
class Transfer;
class TransferFetcher;

// The Partners window: the partner table (sortable, filtered by verdict and
// status), the user's sites, the editor of one partner, check runs with
// progress and cancel, the summary line and the history of the selected
// partner. Dialogs go through the host's window services, so that scripts
// answer them.
class PartnersWindow final : public QWidget {
    Q_OBJECT
public:
    using OpenPage = std::function<void(const QString &page, const QString &linkAddress)>;

    // Null when the database cannot be opened; *error says why.
    // Requests name the program with userAgent, as every transfer of the window does.
    static PartnersWindow *create(const QString &programFolder, const QString &userAgent, DesktopHost &host,
                                  OpenPage openPage, QWidget *parent, QString *error);
    ~PartnersWindow() override;

    PartnerList &list() { return *m_list; }
    const PartnerFilterModel &filter() const { return *m_filter; }

    // The same paths the widgets take, for the menu and the automation.
    QString addPartner(const QString &page);
    // Several at once; the message counts those added and those refused.
    void addPartners(const QStringList &pages);
    QString setSites(const QString &sites);
    void checkAll();
    void checkSelected();
    void cancelRun();
    bool selectRow(int row);  // a row as shown (after sorting and filtering)
    QString removeSelected();
    QString undoRemove();
    void setVerdictFilter(const QString &verdict);
    void setStatusFilter(const QString &status);
    bool openRow(int row);
    void importCsv();
    void exportCsv();
    QString editSelected(const QString &field, const QString &value);

    QString summaryText() const;
    QString progressText() const;
    int shownRows() const;
    QList<qint64> selectedIds() const;

private:
    PartnersWindow(DesktopHost &host, OpenPage openPage, QWidget *parent);
    void build(const QString &userAgent);
    void syncEditor();
    void syncHistory();
    void syncSummary();
    void onProgress(int finished, int total);
    void saveEditor();
    void addFromEditor();
    void showMessage(const QString &text);
    void showContextMenu(const QPoint &at);

    DesktopHost &m_host;
    OpenPage m_openPage;
    std::unique_ptr<PartnerStore> m_store;
    std::unique_ptr<CheckWriter> m_writer;
    std::vector<std::unique_ptr<Transfer>> m_transfers;
    std::unique_ptr<TransferFetcher> m_fetcher;
    std::unique_ptr<Timer> m_wake;
    // The web-engine reader for links that only script writes, when the
    // hidden readers run on the web engine.
    std::unique_ptr<Browser> m_reader;
    std::unique_ptr<Timer> m_readerTimeout;
    std::unique_ptr<BrowserRenderedLinks> m_rendered;
    std::unique_ptr<PartnerList> m_list;
    PartnerTableModel *m_model = nullptr;
    PartnerFilterModel *m_filter = nullptr;

    QLineEdit *m_sites = nullptr;
    QComboBox *m_verdictFilter = nullptr;
    QComboBox *m_statusFilter = nullptr;
    QTableView *m_table = nullptr;
    QLineEdit *m_page = nullptr;
    QLineEdit *m_site = nullptr;
    QLineEdit *m_anchor = nullptr;
    QComboBox *m_status = nullptr;
    QLineEdit *m_note = nullptr;
    QPushButton *m_checkAll = nullptr;
    QPushButton *m_checkSelected = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_undo = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_progressLabel = nullptr;
    QLabel *m_summary = nullptr;
    QLabel *m_message = nullptr;
    QTableWidget *m_history = nullptr;
    QTableWidget *m_changes = nullptr;
};

}  // namespace quorvane
