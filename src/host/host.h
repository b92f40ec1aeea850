#pragma once

#include "browser.h"
#include "controls.h"
#include "timer.h"
#include "transfer.h"
#include "windowservices.h"

#include <QString>

namespace quorvane {

// The host objects of the main window, by role.
class Host {
public:
    virtual ~Host() = default;

    virtual Browser *browser(BrowserId id) = 0;
    virtual Transfer *transfer(TransferSlot slot) = 0;
    virtual Timer *timer(TimerId id) = 0;
    virtual WindowServices &services() = 0;
};

}  // namespace quorvane
