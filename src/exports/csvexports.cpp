#include "csvexports.h"

#include "core/htmltext.h"
#include "core/provenance.h"
#include "core/windowstate.h"

#include <QHash>

namespace quorvane {

namespace {
QString yes(bool on)
{
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

// Report rows are the program's own markup around page texts.
QString rowText(const QString &html)
{
    return markupText(html);
}
}  // namespace

const QList<ExportInfo> &exportKinds()
{
    static const QList<ExportInfo> kinds = {
        {ExportKind::Links, "links", "exportlinks", "Links..."},
        {ExportKind::FoundPages, "found", "exportfound", "Found pages..."},
        {ExportKind::Emails, "emails", "exportemails", "E-mail addresses..."},
        {ExportKind::EmailsByPage, "emails-by-page", "exportemailpages", "E-mail addresses by page..."},
        {ExportKind::Images, "images", "exportimages", "Image buffer..."},
        {ExportKind::ReportRows, "report", "exportreport", "Report rows..."},
    };
    return kinds;
}

std::optional<ExportKind> exportKindNamed(const QString &name)
{
    for (const ExportInfo &info : exportKinds()) {
        if (name == QLatin1String(info.name))
            return info.kind;
    }
    return std::nullopt;
}

CsvWriter linksCsv(const QStringList &addresses, const Provenance &provenance)
{
    CsvWriter csv({QStringLiteral("address"), QStringLiteral("text"), QStringLiteral("rel"),
                   QStringLiteral("source page")});
    for (const QString &address : addresses) {
        const Provenance::Link *link = provenance.link(address);
        csv.addRow({address, link ? link->text : QString(), link ? link->rel : QString(),
                    link ? link->page : QString()});
    }
    return csv;
}

CsvWriter foundPagesCsv(const QStringList &addresses, const Provenance &provenance)
{
    CsvWriter csv({QStringLiteral("address"), QStringLiteral("matching words"), QStringLiteral("paragraphs"),
                   QStringLiteral("soft 404"), QStringLiteral("parked")});
    for (const QString &address : addresses) {
        const Provenance::FoundPage *page = provenance.foundPage(address);
        if (!page) {
            csv.addRow({address});
            continue;
        }
        csv.addRow({address, page->words.join(u'\n'), QString::number(page->paragraphs),
                    yes(page->clues.softNotFound), yes(page->clues.parked)});
    }
    return csv;
}

QList<QPair<QString, QStringList>> emailAddresses(const Provenance &provenance)
{
    QList<QPair<QString, QStringList>> addresses;
    QHash<QString, qsizetype> index;
    for (const Provenance::Email &email : provenance.emails()) {
        const QString key = email.address.toCaseFolded();
        auto it = index.constFind(key);
        if (it == index.cend()) {
            it = index.insert(key, addresses.size());
            addresses.append({email.address, {}});
        }
        QStringList &pages = addresses[*it].second;
        if (!email.page.isEmpty() && !pages.contains(email.page))
            pages.append(email.page);
    }
    return addresses;
}

CsvWriter emailsCsv(const Provenance &provenance)
{
    CsvWriter csv({QStringLiteral("address"), QStringLiteral("pages"), QStringLiteral("page count")});
    for (const auto &[address, pages] : emailAddresses(provenance))
        csv.addRow({address, pages.join(u'\n'), QString::number(pages.size())});
    return csv;
}

CsvWriter emailsByPageCsv(const Provenance &provenance)
{
    CsvWriter csv({QStringLiteral("page"), QStringLiteral("address")});
    QHash<QString, QList<QString>> byPage;
    QStringList pages;
    for (const Provenance::Email &email : provenance.emails()) {
        if (!byPage.contains(email.page))
            pages.append(email.page);
        byPage[email.page].append(email.address);
    }
    for (const QString &page : pages) {
        for (const QString &address : byPage.value(page))
            csv.addRow({page, address});
    }
    return csv;
}

CsvWriter imagesCsv(const QStringList &addresses, const Provenance &provenance)
{
    CsvWriter csv({QStringLiteral("address"), QStringLiteral("source page")});
    for (const QString &address : addresses) {
        const Provenance::Image *image = provenance.image(address);
        csv.addRow({address, image ? image->page : QString()});
    }
    return csv;
}

CsvWriter reportRowsCsv(const QStringList &rows)
{
    CsvWriter csv({QStringLiteral("number"), QStringLiteral("text"), QStringLiteral("html")});
    for (qsizetype i = 0; i < rows.size(); ++i)
        csv.addRow({QString::number(i + 1), rowText(rows.at(i)), rows.at(i)});
    return csv;
}

CsvWriter exportFromWindow(ExportKind kind, const WindowState &state)
{
    const Provenance &p = state.provenance;
    switch (kind) {
    case ExportKind::Links:
        return linksCsv(state.List7.items(), p);
    case ExportKind::FoundPages:
        return foundPagesCsv(state.List1.items(), p);
    case ExportKind::Emails:
        return emailsCsv(p);
    case ExportKind::EmailsByPage:
        return emailsByPageCsv(p);
    case ExportKind::Images:
        return imagesCsv(state.List2.items(), p);
    case ExportKind::ReportRows:
        break;
    }
    return reportRowsCsv(state.List3.items());
}

std::optional<CsvWriter> exportFromSaved(ExportKind kind, const Provenance &p)
{
    QStringList addresses;
    switch (kind) {
    case ExportKind::Links:
        for (const Provenance::Link &link : p.links())
            addresses.append(link.address);
        return linksCsv(addresses, p);
    case ExportKind::FoundPages:
        for (const Provenance::FoundPage &page : p.foundPages())
            addresses.append(page.address);
        return foundPagesCsv(addresses, p);
    case ExportKind::Emails:
        return emailsCsv(p);
    case ExportKind::EmailsByPage:
        return emailsByPageCsv(p);
    case ExportKind::Images:
        for (const Provenance::Image &image : p.images())
            addresses.append(image.address);
        return imagesCsv(addresses, p);
    case ExportKind::ReportRows:
        break;
    }
    return std::nullopt;
}

}  // namespace quorvane
