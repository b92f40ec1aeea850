#pragma once

#include <QJsonObject>

namespace quorvane {

class SiteGenerator;

// Adds "Form2" (caption, visible, Text1 as eight texts, List1 with items and
// selected, Command5 enabled) and "Form3" (caption, visible, Text1 to Text3)
// to the automation dump, each only while its window exists.
void addSiteGeneratorDump(QJsonObject &dump, const SiteGenerator &generator);

}  // namespace quorvane
