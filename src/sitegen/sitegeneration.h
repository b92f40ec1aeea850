#pragma once

#include "shopdescription.h"

#include <QString>
#include <QStringList>

namespace quorvane {

struct GenerationReport {
    QString folder;       // the site folder; empty when nothing was attempted
    QStringList written;  // file names, in writing order
    QString message;      // what the user must be told; empty on full success
    bool refused = false; // nothing was written
};

// Writes the shop site into programFolder/siteName, by full path: the frameset,
// menu, list and basket pages, the order form of orderMode ("online" or
// "phone"; none for anything else), then the item, basket and order scripts.
// Each file is written whole or not at all. Missing input or a category that
// cannot name a folder writes nothing; an entry that is no item line keeps
// only the item script from being written.
GenerationReport generateSite(const ShopDescription &shop, const QString &programFolder, const QString &orderMode);

// The message for missing input, with its leading space.
inline const char MissingProductMessage[] = " You must put the product!";

}  // namespace quorvane
