#include "profilefile.h"

#include "shoppages.h"

#include <QString>
#include <QStringList>

namespace quorvane::profilefile {

namespace {
const QLatin1String LineEnd("\r\n");
const QLatin1String DataMarker("[DATA]");
}  // namespace

QByteArray write(const ShopDescription &shop)
{
    QString text;
    for (const QString *line : {&shop.category, &shop.email, &shop.goBack, &shop.tableStyle, &shop.fontStyle,
                                &shop.formAction}) {
        text += *line;
        text += LineEnd;
    }
    text += DataMarker;
    text += LineEnd;
    for (const QString &entry : shop.entries) {
        text += entry;
        text += LineEnd;
    }
    return text.toUtf8();
}

std::optional<ShopDescription> read(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(LineEnd);
    // The CR LF that ends the last line does not start another one.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    if (lines.size() < 5)
        return std::nullopt;

    ShopDescription shop;
    shop.category = lines.at(0);
    shop.email = lines.at(1);
    shop.goBack = lines.at(2);
    shop.tableStyle = lines.at(3);
    shop.fontStyle = lines.at(4);

    qsizetype i = 5;
    QStringList action;
    for (; i < lines.size(); ++i) {
        // The marker is a line of its own, as written; a form action that
        // merely mentions it ("value='[DATA]'") is the user's text.
        if (lines.at(i) == DataMarker) {
            ++i;
            break;
        }
        action.append(lines.at(i));
    }
    shop.formAction = action.join(LineEnd);
    shop.entries = lines.mid(i);
    if (shop.entries.isEmpty() || shop.entries.constFirst() != shoppages::headerLine())
        shop.entries.prepend(shoppages::headerLine());
    return shop;
}

}  // namespace profilefile
