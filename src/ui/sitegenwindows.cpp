#include "sitegenwindows.h"

#include "form2window.h"
#include "form3window.h"
#include "sitegen/sitegenerator.h"

#include <QTimer>

namespace quorvane {

namespace {
const QLatin1String Form2Prefix("Form2.");
const QLatin1String Form3Prefix("Form3.");
const QLatin1String CloseControl("Close");

// Creates or destroys the window to match its model, then shows or hides it.
// A show request the window has not seen yet brings it forward even when it
// is already shown: it may be minimised or behind the main window.
template <typename Window, typename Model>
void follow(QPointer<Window> &window, Model &model, quint64 &seenRequests, QWidget *owner)
{
    const bool asked = model.showRequests() != seenRequests;
    seenRequests = model.showRequests();
    if (!model.exists()) {
        if (window) {
            window->hide();
            window->deleteLater();  // it may be inside its own close event
            window.clear();
        }
        return;
    }
    if (!window)
        window = new Window(model, owner);
    window->sync();
    if (model.visible() && (asked || !window->isVisible())) {
        if (window->isMinimized())
            window->showNormal();
        else
            window->show();
        window->raise();
        window->activateWindow();
    } else if (!model.visible() && window->isVisible()) {
        window->hide();
    }
}
}  // namespace

SitegenWindows::SitegenWindows(SiteGenerator &generator, QWidget *owner)
    : QObject(owner), m_generator(generator), m_owner(owner)
{
    m_generator.setChangeListener([this] { scheduleSync(); });
    syncNow();
}

SitegenWindows::~SitegenWindows()
{
    m_generator.setChangeListener({});
}

bool SitegenWindows::addresses(const QString &control)
{
    return control.startsWith(Form2Prefix) || control.startsWith(Form3Prefix);
}

void SitegenWindows::scheduleSync()
{
    if (m_syncScheduled)
        return;
    m_syncScheduled = true;
    QTimer::singleShot(0, this, [this] { syncNow(); });
}

void SitegenWindows::syncNow()
{
    m_syncScheduled = false;
    follow(m_form2, m_generator, m_form2Requests, m_owner);
    follow(m_form3, m_generator.cardProfile(), m_form3Requests, m_owner);
}

bool SitegenWindows::click(const QString &control, int index)
{
    syncNow();
    bool known = false;
    if (control.startsWith(Form2Prefix) && m_form2) {
        const QString name = control.mid(Form2Prefix.size());
        known = name == CloseControl ? m_form2->close() : m_form2->click(name, index);
    } else if (control.startsWith(Form3Prefix) && m_form3) {
        const QString name = control.mid(Form3Prefix.size());
        known = name == CloseControl ? m_form3->close() : m_form3->click(name);
    }
    syncNow();
    return known;
}

bool SitegenWindows::doubleClick(const QString &control, int index)
{
    syncNow();
    const bool known = control.startsWith(Form2Prefix) && m_form2
                    && m_form2->doubleClick(control.mid(Form2Prefix.size()), index);
    syncNow();
    return known;
}

bool SitegenWindows::typeText(const QString &control, const QString &text)
{
    syncNow();
    bool known = false;
    if (control.startsWith(Form2Prefix) && m_form2)
        known = m_form2->typeText(control.mid(Form2Prefix.size()), text);
    else if (control.startsWith(Form3Prefix) && m_form3)
        known = m_form3->typeText(control.mid(Form3Prefix.size()), text);
    syncNow();
    return known;
}

QJsonObject SitegenWindows::itemTableDump() const
{
    return m_form2 ? m_form2->itemTableDump() : QJsonObject();
}

}  // namespace quorvane
