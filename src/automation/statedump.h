#pragma once

#include <QJsonObject>

namespace quorvane {

class Host;
class ScriptedServices;
class SiteGenerator;
class WindowState;

// The window state as JSON, keyed by control names: each list with items,
// selected and visible; Combo1 and Combo2 with text and items; StatusBar1
// panels; caption; flags; browsers with url, title, visible, busy; timers with
// enabled; run-time menus; controls; dialogs recorded by services when given;
// the generator windows Form2 and Form3 while they exist, when generator is given.
QJsonObject dumpState(const WindowState &state, Host &host, const ScriptedServices *services,
                      const SiteGenerator *generator = nullptr);

}  // namespace quorvane
