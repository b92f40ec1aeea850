#pragma once

#include "host/transfer.h"

#include <QString>

namespace quorvane {

// Settings resolved at start-up: options over the settings file over defaults.
struct Config {
    QString programFolder;
    QString homeSite = QStringLiteral("127.0.0.1:8737");       // HOST[:PORT]
    QString translationHost = QStringLiteral("127.0.0.1:8737"); // HOST[:PORT]
    // Outside programs as command lines; empty: the first common desktop
    // program found on the PATH when the button is used.
    QString mailProgram;
    QString addressBookProgram;
    QString calculatorProgram;
    // The card gateway of the generated shops' default order form. PLACEHOLDERS:
    // each deployment sets its own gateway host and merchant login.
    QString gatewayHost = QStringLiteral("gateway.example.invalid");
    QString gatewayLogin = QStringLiteral("YOUR-MERCHANT-LOGIN");

    // The user's state folder ($XDG_STATE_HOME/Quorvane): copies of files
    // that could not be saved go there.
    QString stateFolder;
    // Restore the previous session at start after a normal exit too; after an
    // unclean end the user is always asked.
    bool restoreAfterNormalExit = false;
    // How the program names itself to web servers; empty: the program, its
    // version and the home site.
    QString userAgent;
    // The keyword fetcher's manners: requests at a time to one site, the
    // pause between requests to one site, whether robots.txt is obeyed, and
    // the longest Retry-After wait honoured. The defaults read as before.
    int perHostLimit = 4;
    int hostDelayMs = 0;
    bool obeyRobots = false;
    int retryAfterCapSeconds = 120;

    QString effectiveUserAgent() const { return userAgent.isEmpty() ? userAgentFor(homeSite) : userAgent; }

    // What the hidden page readers run on: "text" or "webengine".
    QString hiddenEngine = QStringLiteral("text");
    // The settings file these were read from; the Preferences dialog writes it.
    QString settingsFile;
    // An address on the home site: "http://" HOST[:PORT] and the path.
    QString homeSiteUrl(const QString &path = {}) const { return QStringLiteral("http://") + homeSite + path; }
};

}  // namespace quorvane
