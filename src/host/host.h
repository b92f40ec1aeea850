#pragma once

#include "browser.h"
#include "timer.h"
#include "transfer.h"
#include "windowservices.h"

#include <QString>

namespace quorvane {

// The host objects of the main window, by their control names.
class Host {
public:
    virtual ~Host() = default;

    // "WebBrowser1", "WebBrowser5", "WebBrowser2", "WebBrowser4"; null for unknown names.
    virtual Browser *browser(const QString &name) = 0;
    // Inet1 to Inet10; null outside that range.
    virtual Transfer *transfer(int number) = 0;
    // Timer3 to Timer12; null outside that range.
    virtual Timer *timer(int number) = 0;
    virtual WindowServices &services() = 0;
};

}  // namespace quorvane
