#pragma once

#include "addressgate.h"
#include "host/host.h"

#include <QString>

namespace quorvane {

// Runs action on each view the user sees now: Browser 1, then Browser 2, each
// only while it is the visible one.
template <typename Action>
void forEachVisibleView(Host &host, Action &&action)
{
    for (BrowserId id : ShownBrowsers) {
        if (Browser *view = host.browser(id); view && view->isVisible())
            action(*view);
    }
}

// Opens an address from a list in a view, through the address gate; false,
// with nothing opened, for an address no view may open.
inline bool openInView(Browser *view, const QString &address)
{
    if (!view || !isOpenableAddress(address))
        return false;
    view->navigate(address);
    return true;
}

inline void navigateVisibleViews(Host &host, const QString &url)
{
    forEachVisibleView(host, [&url](Browser &view) { openInView(&view, url); });
}

// The keyword readers' transfers stop, as Stop and shutdown do.
inline void cancelReaders(Host &host)
{
    for (int k = 1; k <= ReaderSlotCount; ++k) {
        if (Transfer *reader = host.transfer(readerSlot(k)))
            reader->cancel();
    }
}

}  // namespace quorvane
