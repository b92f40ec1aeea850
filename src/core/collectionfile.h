#pragma once

#include <QByteArray>
#include <QString>

namespace quorvane {

class WindowServices;

// The file types of collection files, offered when a report, the image buffer
// or a catalog is saved and when a collection is opened: private collection
// files in the private zone, pages otherwise.
QString collectionSaveFilter(bool privateZone);

// Asks where to save and writes data there whole or not at all; a cancelled
// dialog writes nothing.
void saveCollectionFile(WindowServices &services, bool privateZone, const QByteArray &data);

}  // namespace quorvane
