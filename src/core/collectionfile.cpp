#include "collectionfile.h"

#include "host/safefile.h"
#include "host/windowservices.h"

#include <QDir>

namespace quorvane {

QString collectionSaveFilter(bool privateZone)
{
    return privateZone ? QStringLiteral("Private collection file (*.prv)|*.prv")
                       : QStringLiteral("HTML file (*.htm;*.html)|*.htm;*.html|Text File (*.txt;*.rtf)|*.txt;*.rtf");
}

void saveCollectionFile(WindowServices &services, bool privateZone, const QByteArray &data)
{
    const QString path = services.saveFileDialog(collectionSaveFilter(privateZone));
    QString reason;
    if (!path.isEmpty() && !writeFileAtomically(path, data, &reason)) {
        services.messageBox(QStringLiteral("Quorvane could not save:\n%1 (%2)").arg(QDir::toNativeSeparators(path), reason),
                            QStringLiteral("Warning!!!"), WindowServices::Buttons::Ok);
    }
}

}  // namespace quorvane
