#pragma once

#include <QString>

namespace quorvane {

class Host;

// Sends Browser 1, then Browser 2, to url, each only if it is the visible view.
void navigateVisibleBrowsers(Host &host, const QString &url);

}  // namespace quorvane
