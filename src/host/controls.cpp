#include "controls.h"

namespace quorvane {

QString controlName(BrowserId id)
{
    switch (id) {
    case BrowserId::MainView:
        return QStringLiteral("WebBrowser1");
    case BrowserId::SecondView:
        return QStringLiteral("WebBrowser5");
    case BrowserId::PageReader:
        return QStringLiteral("WebBrowser2");
    case BrowserId::ImageReader:
        return QStringLiteral("WebBrowser4");
    }
    return {};
}

QString controlName(TimerId id)
{
    return QStringLiteral("Timer") + QString::number(static_cast<int>(id));
}

QString controlName(TransferSlot slot)
{
    return QStringLiteral("Inet") + QString::number(static_cast<int>(slot));
}

std::optional<BrowserId> browserNamed(QStringView name)
{
    for (BrowserId id : AllBrowsers) {
        if (name == controlName(id))
            return id;
    }
    return std::nullopt;
}

}  // namespace quorvane
