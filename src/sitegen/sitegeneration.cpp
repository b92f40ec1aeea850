#include "sitegeneration.h"

#include "shoppages.h"
#include "host/safefile.h"

#include <QDir>

#include <functional>

namespace quorvane {

GenerationReport generateSite(const ShopDescription &shop, const QString &programFolder, const QString &orderMode)
{
    GenerationReport report;
    if (shop.entries.isEmpty() || shop.category.isEmpty() || shop.goBack.isEmpty()) {
        report.refused = true;
        report.message = QString::fromLatin1(MissingProductMessage);
        return report;
    }
    if (const QString problem = shoppages::siteNameProblem(shop.category); !problem.isEmpty()) {
        report.refused = true;
        report.message = problem;
        return report;
    }
    const QString site = shoppages::siteName(shop.category);
    const QString folder = QDir(programFolder).absoluteFilePath(site);
    if (!QDir().mkpath(folder)) {
        report.refused = true;
        report.message = QStringLiteral("The site folder \"%1\" cannot be created.").arg(folder);
        return report;
    }
    report.folder = folder;

    QStringList failed;
    auto write = [&](const QString &prefix, const QString &extension, const QString &text) {
        const QString name = prefix + site + extension;
        if (writeFileAtomically(folder + QLatin1Char('/') + name, text.toUtf8()))
            report.written.append(name);
        else
            failed.append(name);
    };
    const QString htm = QStringLiteral(".htm");
    const QString js = QStringLiteral(".js");
    write(QStringLiteral("f_"), htm, shoppages::framesetPage(shop));
    write(QStringLiteral("m_"), htm, shoppages::menuPage(shop));
    write(QStringLiteral("l_"), htm, shoppages::listPage(shop));
    write(QStringLiteral("b_"), htm, shoppages::basketPage(shop));
    if (orderMode == QLatin1String("online"))
        write(QStringLiteral("form_"), htm, shoppages::paymentFormPage(shop));
    if (orderMode == QLatin1String("phone"))
        write(QStringLiteral("form_"), htm, shoppages::emailFormPage(shop));

    QStringList problems;
    const shoppages::ItemScript items = shoppages::itemScript(shop);
    if (items.badEntry < 0) {
        write(QStringLiteral("1_"), js, items.text);
    } else {
        problems.append(QStringLiteral("Item entry %1 (\"%2\") is not an item line of five fields, each closed by a "
                                       "comma, with a decimal price, so 1_%3.js was not written.")
                            .arg(items.badEntry)
                            .arg(shop.entries.at(items.badEntry), site));
    }
    write(QStringLiteral("2_"), js, shoppages::basketScript(shop));
    write(QStringLiteral("3_"), js, shoppages::orderScript(shop));

    if (!failed.isEmpty())
        problems.append(QStringLiteral("These files could not be written into \"%1\": %2.")
                            .arg(folder, failed.join(QLatin1String(", "))));
    report.message = problems.join(QLatin1Char('\n'));
    return report;
}

}  // namespace quorvane
