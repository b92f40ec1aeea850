#include "partnertablemodel.h"

#include "partners/partnerlist.h"

#include <QApplication>
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QIcon>
#include <QStyle>

namespace quorvane {

namespace {

QString shownTime(qint64 ms)
{
    return ms > 0 ? QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

enum class Tone { Good, Warn, Bad, Unknown };

Tone toneOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Live:
        return Tone::Good;
    case Verdict::AnchorChanged:
    case Verdict::NotFollowed:
    case Verdict::Blocked:
    case Verdict::ScriptOnly:
        return Tone::Warn;
    case Verdict::Unreachable:
        return Tone::Unknown;
    default:
        return Tone::Bad;
    }
}

}  // namespace

PartnerTableModel::PartnerTableModel(PartnerList &list, QObject *parent) : QAbstractTableModel(parent), m_list(list)
{
    connect(&m_list, &PartnerList::rowsChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&m_list, &PartnerList::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); });
}

int PartnerTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_list.rows().size());
}

int PartnerTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PartnerTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[] = {"Page", "Verdict", "Since", "Lost", "Status", "Site", "Anchor", "Note",
                                         "Last check"};
    return QString::fromLatin1(titles[section]);
}

QVariant PartnerTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.rows().size())
        return {};
    const PartnerState &s = m_list.rows().at(index.row());
    const Partner &p = s.partner;
    if (role == IdRole)
        return p.id;
    // A tool tip is read as rich text when it looks like markup: escaped, a
    // note or anchor that holds tags shows them as written.
    if (role == Qt::ToolTipRole) {
        const QString text = data(index, Qt::DisplayRole).toString();
        return text.isEmpty() ? QVariant() : QVariant(QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>"));
    }
    if (role == Qt::DisplayRole || role == SortRole) {
        switch (index.column()) {
        case Page:
            return p.page;
        case Verdict:
            if (role == SortRole)
                return s.verdict ? int(*s.verdict) : -1;
            return s.verdict ? verdictName(*s.verdict) : QString();
        case Since:
            return role == SortRole ? QVariant(s.verdictSince) : QVariant(shownTime(s.verdictSince));
        case Lost:
            return s.lost ? QStringLiteral("lost") : QString();
        case Status:
            return outreachName(p.outreach);
        case Site:
            return p.site.isEmpty() ? QStringLiteral("(my sites)") : p.site;
        case Anchor:
            return p.anchor;
        case Note:
            return p.note;
        case LastCheck:
            return role == SortRole ? QVariant(s.lastCheckedAt) : QVariant(shownTime(s.lastCheckedAt));
        default:
            return {};
        }
    }
    if (!s.verdict || (index.column() != Verdict && index.column() != Page))
        return {};
    const Tone tone = toneOf(*s.verdict);
    if (role == Qt::BackgroundRole && index.column() == Verdict) {
        switch (tone) {
        case Tone::Good:
            return QColor(0xd7, 0xf5, 0xd7);
        case Tone::Warn:
            return QColor(0xff, 0xef, 0xc2);
        case Tone::Bad:
            return QColor(0xfa, 0xd2, 0xd2);
        case Tone::Unknown:
            return QColor(0xe4, 0xe4, 0xe4);
        }
    }
    if (role == Qt::DecorationRole && index.column() == Verdict) {
        const QStyle::StandardPixmap icon = tone == Tone::Good   ? QStyle::SP_DialogApplyButton
                                          : tone == Tone::Warn   ? QStyle::SP_MessageBoxWarning
                                          : tone == Tone::Bad    ? QStyle::SP_MessageBoxCritical
                                                                 : QStyle::SP_MessageBoxQuestion;
        return QApplication::style()->standardIcon(icon);
    }
    // What changed on the latest run stands out.
    if (role == Qt::FontRole && s.changedOnLastCheck()) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return {};
}

void PartnerFilterModel::setVerdictFilter(const QString &verdict)
{
    m_verdict = verdict;
    invalidateFilter();
}

void PartnerFilterModel::setStatusFilter(const QString &status)
{
    m_status = status;
    invalidateFilter();
}

bool PartnerFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QAbstractItemModel *model = sourceModel();
    auto text = [&](int column) { return model->index(sourceRow, column, sourceParent).data().toString(); };
    if (!m_verdict.isEmpty()) {
        const bool ok = m_verdict == u"lost" ? !text(PartnerTableModel::Lost).isEmpty()
                                              : text(PartnerTableModel::Verdict) == m_verdict;
        if (!ok)
            return false;
    }
    return m_status.isEmpty() || text(PartnerTableModel::Status) == m_status;
}

}  // namespace quorvane
