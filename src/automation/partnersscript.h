#pragma once

#include <QJsonObject>
#include <QString>

namespace quorvane {

class MainWindow;

// The "partners ACTION [ARGUMENTS]" commands of the automation language:
//   open                        shows the Partners window
//   add URL                     adds a partner page
//   sites SITE...               sets the user's own sites
//   check all|selected          starts a check run
//   cancel                      cancels the run
//   wait [MS]                   waits until no run is going (default 30000 ms)
//   select ROW                  selects a row as shown (from 0)
//   dblclick ROW                opens that row's page in WebBrowser1, our link outlined
//   edit site|anchor|note|status VALUE   changes the selected partner
//   remove, undo                removes the selected partner, brings it back
//   filter verdict|status VALUE shows only those rows (all: every row)
//   import, export              the CSV import and export, through the file dialog (answer file PATH)

// An error for an unknown action or a malformed argument, empty when fine.
QString checkPartnersAction(const QString &action, const QString &arguments);

// Runs one action; false with *error when it fails. *waitMs is set (>= 0)
// for "wait", which the caller then polls with partnersRunning().
bool runPartnersAction(MainWindow &window, const QString &action, const QString &arguments, QString *error,
                       int *waitMs);
bool partnersRunning(MainWindow &window);

// The window's state for the dump, when it is open.
void addPartnersDump(QJsonObject &dump, MainWindow &window);

}  // namespace quorvane
