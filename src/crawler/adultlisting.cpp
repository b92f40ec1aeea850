#include "adultlisting.h"

#include "core/commandtable.h"
#include "core/listfile.h"
#include "core/windowstate.h"
#include "host/host.h"

namespace quorvane {

const QString AdultListing::ParentalPassword = QStringLiteral("sun and sea");

AdultListing::AdultListing(WindowState &state, Host &host) : m_state(state), m_host(host) {}

void AdultListing::bind(CommandTable &c)
{
    c.onMenu(QStringLiteral("createadultlisting"), [this] { createadultlisting_Click(); });
    c.onMenu(QStringLiteral("editadultlisting"), [this] { editadultlisting_Click(); });
}

// The first seven characters are taken for "http://": an address with a
// longer scheme gives a cut host, "https://" the empty one.
QString AdultListing::hostOf(const QString &address, bool *ok)
{
    constexpr int kHostStart = 7;
    const int slash = address.size() > kHostStart ? address.indexOf(QLatin1Char('/'), kHostStart) : -1;
    *ok = slash >= 0;
    return *ok ? address.mid(kHostStart, slash - kHostStart) : QString();
}

void AdultListing::createadultlisting_Click()
{
    m_state.List4.clear();
    QString host;  // an address that cannot be cut adds the previous host again
    for (const QString &address : m_state.listlinks.items()) {
        bool ok = false;
        const QString cut = hostOf(address, &ok);
        if (ok)
            host = cut;
        addUnique(m_state.domain, host);
    }
    m_state.notify();
    m_host.services().messageBox(QStringLiteral("Your adult listing is created and  saved"), QString(),
                                 WindowServices::Buttons::Ok);
}

void AdultListing::editadultlisting_Click()
{
    const std::optional<QString> answer = m_host.services().inputBox(
        QStringLiteral("Your password , please"), QStringLiteral("Only parents!!!"), true, QString());
    if (!answer || *answer != ParentalPassword)
        return;
    const QString domain = QStringLiteral("domain");
    m_state.setGeometry(domain, 0, 1200, 3800, 2200);
    m_state.setVisible(domain, true);
}

}  // namespace quorvane
