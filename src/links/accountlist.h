#pragma once

#include <QString>
#include <QVector>

namespace quorvane {

// One private-zone account of the home site's account list.
struct Account {
    QString password;
    QString searchListUrl;   // the account's private search engines
    QString channelListUrl;  // the account's private channels
    QString startPage;
};

// Reads the account list, "password<search><channels><start>" repeated; text
// between one record's last ">" and the next "<" is the next password. Only
// whole records are taken: a record missing a bracket ends the list, so the
// four account lists always stay in step.
QVector<Account> parseAccountList(const QString &text);

}  // namespace quorvane
