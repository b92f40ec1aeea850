#include "partner.h"

namespace quorvane {

const QStringList &outreachNames()
{
    static const QStringList names = {QStringLiteral("found"),   QStringLiteral("asked"),
                                      QStringLiteral("agreed"),  QStringLiteral("live"),
                                      QStringLiteral("refused"), QStringLiteral("ended")};
    return names;
}

QString outreachName(Outreach outreach)
{
    return outreachNames().at(int(outreach));
}

std::optional<Outreach> outreachFromName(const QString &name)
{
    const qsizetype index = outreachNames().indexOf(name.trimmed().toLower());
    if (index < 0)
        return std::nullopt;
    return Outreach(index);
}

}  // namespace quorvane
