#include "collectionfile.h"

#include "host/safefile.h"
#include "host/windowservices.h"

namespace quorvane {

QString collectionSaveFilter(bool privateZone)
{
    return privateZone ? QStringLiteral("Private collection file (*.prv)|*.prv")
                       : QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf");
}

void saveCollectionFile(WindowServices &services, bool privateZone, const QByteArray &data)
{
    const QString path = services.saveFileDialog(collectionSaveFilter(privateZone));
    if (!path.isEmpty())
        writeFileAtomically(path, data);
}

}  // namespace quorvane
