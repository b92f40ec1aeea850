#pragma once

#include "pagefetcher.h"

#include <QObject>

namespace quorvane {

class Browser;
class Timer;

// The links of a page after its script ran, read through a hidden browser
// (the web-engine reader). A page that does not finish within the time-out
// counts as not loaded.
class BrowserRenderedLinks final : public QObject, public RenderedLinks {
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 30000;

    BrowserRenderedLinks(Browser &browser, Timer &timeout, QObject *parent = nullptr);
    ~BrowserRenderedLinks() override;

    void read(const QString &url, Done done) override;
    void cancel() override;

private:
    void finish(bool loaded);

    Browser &m_browser;
    Timer &m_timeout;
    Done m_done;
};

}  // namespace quorvane
