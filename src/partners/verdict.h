#pragma once

#include "checkrecord.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvane {

// The outcome of a check, most serious first: when several apply, the one
// standing earliest here wins.
//   unreachable   no usable answer (time-out, refused, 5xx, 429, other 4xx)
//   gone          404 or 410
//   moved         redirected off the page's site
//   parked        a parked or for-sale domain
//   soft-404      a 200 page that says it is missing
//   missing       page fine, no link to the user's sites
//   script-only   the link appears only after the page's script ran
//   blocked       noindex (meta or header) or disallowed by robots.txt
//   not-followed  rel nofollow, sponsored or ugc, or a robots nofollow
//   anchor-changed  link present, anchor differs from the expected one
//   live          a followed link is present
enum class Verdict { Unreachable, Gone, Moved, Parked, Soft404, Missing, ScriptOnly, Blocked, NotFollowed, AnchorChanged, Live };

QString verdictName(Verdict verdict);
std::optional<Verdict> verdictFromName(const QString &name);
const QStringList &verdictNames();  // in the order above
// For the summary line: "not followed", "soft 404", ...
QString verdictLabel(Verdict verdict);

Verdict deriveVerdict(const CheckRecord &record);

// A check that did not get a usable answer and may succeed when asked again.
bool isTransientStatus(int httpStatus);

}  // namespace quorvane
