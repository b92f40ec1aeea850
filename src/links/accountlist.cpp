#include "accountlist.h"

namespace quorvane {

namespace {
// The field from start to the next ">" found from searchFrom on; position moves
// past that ">". False when there is none.
bool fieldUpToBracket(const QString &text, qsizetype start, qsizetype searchFrom, qsizetype &position,
                      QString &field)
{
    const qsizetype close = text.indexOf(QLatin1Char('>'), searchFrom);
    if (close < 0)
        return false;
    field = text.mid(start, close - start);
    position = close + 1;
    return true;
}
}  // namespace

QVector<Account> parseAccountList(const QString &text)
{
    QVector<Account> accounts;
    const qsizetype length = text.size();
    qsizetype position = 0;
    for (;;) {
        Account account;
        const qsizetype open = text.indexOf(QLatin1Char('<'), position + 1);
        if (open < 0)
            break;
        account.password = text.mid(position, open - position);
        position = open + 1;
        // The search list's "<" is already behind; the two others still start
        // with theirs, which is skipped.
        if (!fieldUpToBracket(text, position, position + 1, position, account.searchListUrl)
            || !fieldUpToBracket(text, position + 1, position + 1, position, account.channelListUrl)
            || !fieldUpToBracket(text, position + 1, position + 1, position, account.startPage)) {
            break;
        }
        accounts.append(account);
        if (position + 1 + 4 > length)
            break;
    }
    return accounts;
}

}  // namespace quorvane
