#include "sitegendump.h"

#include "sitegen/sitegenerator.h"

#include <QJsonArray>

namespace quorvane {

void addSiteGeneratorDump(QJsonObject &dump, const SiteGenerator &generator)
{
    if (generator.exists()) {
        QJsonArray fields;
        for (int i = 0; i < SiteGenerator::FieldCount; ++i)
            fields.append(generator.text(i));
        const ListControl &list = generator.List1();
        dump.insert(QStringLiteral("Form2"),
                    QJsonObject{{QStringLiteral("caption"), QStringLiteral("Vendaro Wizard")},
                                {QStringLiteral("visible"), generator.visible()},
                                {QStringLiteral("Text1"), fields},
                                {QStringLiteral("List1"),
                                 QJsonObject{{QStringLiteral("items"), QJsonArray::fromStringList(list.items())},
                                             {QStringLiteral("selected"), list.selected()}}},
                                {QStringLiteral("Command5"),
                                 QJsonObject{{QStringLiteral("enabled"), generator.saveProfileEnabled()}}}});
    }
    const CardProfile &card = generator.cardProfile();
    if (card.exists()) {
        dump.insert(QStringLiteral("Form3"),
                    QJsonObject{{QStringLiteral("caption"), QStringLiteral("Credit Card Profile")},
                                {QStringLiteral("visible"), card.visible()},
                                {QStringLiteral("Text1"), card.currentText(1)},
                                {QStringLiteral("Text2"), card.currentText(2)},
                                {QStringLiteral("Text3"), card.currentText(3)}});
    }
}

}  // namespace quorvane
