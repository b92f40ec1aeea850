#pragma once

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace quorvane {

class Form2Window;
class Form3Window;
class SiteGenerator;

// Creates, shows, hides and destroys the generator windows Form2 and Form3 as
// the SiteGenerator says, and reaches their controls for the automation
// interface by "Form2.NAME" and "Form3.NAME" (e.g. Form2.Text1(6),
// Form2.List1, Form2.Command1, Form3.Text2; Form2.Close and Form3.Close are
// the windows' own close controls).
class SitegenWindows final : public QObject {
    Q_OBJECT
public:
    SitegenWindows(SiteGenerator &generator, QWidget *owner);
    ~SitegenWindows() override;

    // Whether the control name addresses one of these windows.
    static bool addresses(const QString &control);

    // Each returns false when the window is not open or has no such control.
    bool click(const QString &control, int index);
    bool doubleClick(const QString &control, int index);
    bool typeText(const QString &control, const QString &text);
    // Form2's item list as shown (see Form2Window); empty while Form2 is not open.
    QJsonObject itemTableDump() const;

    void syncNow();

private:
    void scheduleSync();

    SiteGenerator &m_generator;
    QWidget *m_owner;
    QPointer<Form2Window> m_form2;
    QPointer<Form3Window> m_form3;
    // The show requests of each model already acted on.
    quint64 m_form2Requests = 0;
    quint64 m_form3Requests = 0;
    bool m_syncScheduled = false;
};

}  // namespace quorvane
