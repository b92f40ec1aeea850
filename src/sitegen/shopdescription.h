#pragma once

#include <QString>
#include <QStringList>

namespace quorvane {

// Everything a shop site is generated from: the generator window's fields,
// the card profile texts and the item list (entry 0 is the header line).
struct ShopDescription {
    QString category;
    QString goBack;
    QString email;
    QString tableStyle;
    QString fontStyle;
    QString formAction;
    QStringList entries;
};

}  // namespace quorvane
