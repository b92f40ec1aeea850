#include "verdict.h"

namespace quorvane {

const QStringList &verdictNames()
{
    static const QStringList names = {
        QStringLiteral("unreachable"), QStringLiteral("gone"),        QStringLiteral("moved"),
        QStringLiteral("parked"),      QStringLiteral("soft-404"),    QStringLiteral("missing"),
        QStringLiteral("script-only"), QStringLiteral("blocked"),     QStringLiteral("not-followed"),
        QStringLiteral("anchor-changed"), QStringLiteral("live")};
    return names;
}

QString verdictName(Verdict verdict)
{
    return verdictNames().at(int(verdict));
}

QString verdictLabel(Verdict verdict)
{
    QString label = verdictName(verdict);
    label.replace(u'-', u' ');
    return label;
}

std::optional<Verdict> verdictFromName(const QString &name)
{
    const qsizetype index = verdictNames().indexOf(name.trimmed().toLower());
    if (index < 0)
        return std::nullopt;
    return Verdict(index);
}

bool isTransientStatus(int httpStatus)
{
    return httpStatus == 408 || httpStatus == 425 || httpStatus == 429 || httpStatus >= 500;
}

Verdict deriveVerdict(const CheckRecord &r)
{
    if (!r.answered)
        return Verdict::Unreachable;
    if (r.httpStatus == 404 || r.httpStatus == 410)
        return Verdict::Gone;
    if (r.movedOffSite)
        return Verdict::Moved;
    if (r.httpStatus < 200 || r.httpStatus >= 300)
        return Verdict::Unreachable;
    if (r.parked)
        return Verdict::Parked;
    if (r.soft404)
        return Verdict::Soft404;
    if (!r.linkFound)
        return r.scriptOnly ? Verdict::ScriptOnly : Verdict::Missing;
    if (r.robots.contains(QLatin1String("noindex")) || r.robots.contains(QLatin1String("robots.txt")))
        return Verdict::Blocked;
    if (!r.rel.isEmpty() || r.robots.contains(QLatin1String("nofollow")))
        return Verdict::NotFollowed;
    if (!r.anchorMatches)
        return Verdict::AnchorChanged;
    return Verdict::Live;
}

}  // namespace quorvane
