#include "cardprofile.h"

#include "shoptemplates.h"

namespace quorvane {

CardProfile::CardProfile(QString gatewayHost, QString gatewayLogin)
    : m_gatewayHost(std::move(gatewayHost)), m_gatewayLogin(std::move(gatewayLogin))
{
}

const QString &CardProfile::defaultTableStyle()
{
    static const QString style = QStringLiteral(
        "<table cellpadding='2' cellspacing='1' width='100%' border='1' bordercolor='#000000' "
        "bordercolorlight='#000000' bgcolor='#e3e3e3'>");
    return style;
}

const QString &CardProfile::defaultFontStyle()
{
    static const QString style = QStringLiteral("<font size='2' face='Verdana' class='std'>");
    return style;
}

QString CardProfile::defaultFormAction() const
{
    QString text = shoptemplates::formAction();
    text.replace(QString::fromUtf8("«GATEWAY HOST»"), m_gatewayHost);
    text.replace(QString::fromUtf8("«LOGIN»"), m_gatewayLogin);
    return text;
}

void CardProfile::ensure()
{
    if (m_exists)
        return;
    m_exists = true;
    m_visible = false;
    m_texts[0] = defaultFormAction();
    m_texts[1] = defaultTableStyle();
    m_texts[2] = defaultFontStyle();
}

void CardProfile::changed() const
{
    if (m_listener)
        m_listener();
}

void CardProfile::show()
{
    ensure();
    m_visible = true;
    ++m_showRequests;
    changed();
}

void CardProfile::Command2_Click()
{
    m_visible = false;
    changed();
}

void CardProfile::close()
{
    if (!m_exists)
        return;
    m_exists = false;
    m_visible = false;
    for (QString &t : m_texts)
        t.clear();
    changed();
}

QString CardProfile::text(int number)
{
    if (number < 1 || number > 3)
        return {};
    ensure();
    return m_texts[number - 1];
}

QString CardProfile::currentText(int number) const
{
    return number >= 1 && number <= 3 ? m_texts[number - 1] : QString();
}

bool CardProfile::setText(int number, const QString &text)
{
    if (number < 1 || number > 3)
        return false;
    ensure();
    m_texts[number - 1] = text;
    changed();
    return true;
}

QString CardProfile::formAction()
{
    return text(1);
}

QString CardProfile::tableStyle()
{
    return text(2);
}

QString CardProfile::fontStyle()
{
    return text(3);
}

void CardProfile::setFormAction(const QString &text)
{
    setText(1, text);
}

void CardProfile::setTableStyle(const QString &text)
{
    setText(2, text);
}

void CardProfile::setFontStyle(const QString &text)
{
    setText(3, text);
}

}  // namespace quorvane
