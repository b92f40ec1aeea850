#include "sitegenerator.h"

#include "profilefile.h"
#include "shoppages.h"
#include "sitegeneration.h"
#include "core/commandtable.h"
#include "core/windowstate.h"
#include "host/host.h"
#include "host/safefile.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QUrl>

namespace quorvane {

namespace {
const QString ProfileFilter = QStringLiteral("Profile file (*.pro)|*.pro");
const QString WarningTitle = QStringLiteral("Warning!!!");

// The item fields in line order: Item ID, Item Description, Price, Picture URL, Description URL.
constexpr int ItemFields[] = {2, 3, 4, 6, 7};
constexpr int PriceField = 4;

const char *const FieldLabels[SiteGenerator::FieldCount] = {
    "Category name", "Go back URL", "Item ID", "Item Description", "Price", "E-mail address", "Picture URL",
    "Description URL"};
}  // namespace

SiteGenerator::SiteGenerator(WindowState &state, Host &host, const Config &config)
    : m_state(state),
      m_host(host),
      m_programFolder(config.programFolder),
      m_list(QStringLiteral("List1"), false, [this] { changed(); }),
      m_card(config.gatewayHost, config.gatewayLogin)
{
    m_card.setChangeListener([this] { changed(); });
}

void SiteGenerator::bind(CommandTable &commands)
{
    commands.onMenu(QStringLiteral("online"), [this] {
        show();
        m_state.setOrderMode(QStringLiteral("online"));
    });
    commands.onMenu(QStringLiteral("wshipping"), [this] {
        show();
        m_state.setOrderMode(QStringLiteral("phone"));
    });
}

void SiteGenerator::setChangeListener(std::function<void()> listener)
{
    m_listener = std::move(listener);
}

void SiteGenerator::changed() const
{
    if (m_listener)
        m_listener();
}

void SiteGenerator::warn(const QString &text)
{
    m_host.services().messageBox(text, WarningTitle, WindowServices::Buttons::Ok);
}

void SiteGenerator::reset()
{
    for (QString &field : m_fields)
        field.clear();
    m_list.clear();
    m_list.setSelected(-1);
    m_saveProfileEnabled = false;
}

void SiteGenerator::takePicture(const QString &address)
{
    setText(PictureField, address);
    show();
}

void SiteGenerator::show()
{
    if (!m_exists) {
        reset();
        m_exists = true;
        m_list.add(shoppages::headerLine());
    }
    m_visible = true;
    ++m_showRequests;
    changed();
}

void SiteGenerator::close()
{
    if (!m_exists)
        return;
    m_exists = false;
    m_visible = false;
    reset();
    changed();
}

void SiteGenerator::closeWindows()
{
    close();
    m_card.close();
}

QString SiteGenerator::text(int index) const
{
    return index >= 0 && index < FieldCount ? m_fields[index] : QString();
}

bool SiteGenerator::setText(int index, const QString &text)
{
    if (index < 0 || index >= FieldCount)
        return false;
    m_fields[index] = text;
    changed();
    return true;
}

ShopDescription SiteGenerator::description()
{
    ShopDescription shop;
    shop.category = m_fields[CategoryField];
    shop.goBack = m_fields[GoBackField];
    shop.email = m_fields[EmailField];
    shop.tableStyle = m_card.tableStyle();
    shop.fontStyle = m_card.fontStyle();
    shop.formAction = m_card.formAction();
    shop.entries = m_list.items();
    return shop;
}

void SiteGenerator::Command3_Click()
{
    for (const QString &field : m_fields) {
        if (field.isEmpty()) {
            warn(QStringLiteral("Fill all fields , please !!!"));
            return;
        }
    }
    // A comma would split the field in two when the line is read back.
    for (int index : ItemFields) {
        if (m_fields[index].contains(QLatin1Char(','))) {
            warn(QStringLiteral("The field \"%1\" holds a comma, which an item line cannot keep. Please remove it.")
                     .arg(QLatin1String(FieldLabels[index])));
            return;
        }
    }
    if (!shoppages::isDecimalNumber(m_fields[PriceField])) {
        warn(QStringLiteral("The price \"%1\" is not a decimal number such as 12.50.").arg(m_fields[PriceField]));
        return;
    }
    QString line;
    for (int index : ItemFields)
        line += m_fields[index] + QLatin1Char(',');
    m_list.add(line);
}

void SiteGenerator::List1_Click(int index)
{
    if (index < 0 || index >= m_list.count())
        return;
    m_list.setSelected(index);
    const QString line = m_list.at(index);
    qsizetype start = 0;
    for (int target : ItemFields) {
        const qsizetype comma = line.indexOf(QLatin1Char(','), start);
        if (comma >= 0) {
            m_fields[target] = line.mid(start, comma - start);
            start = comma + 1;
        } else {
            start = 0;  // the next field is cut from the start again
        }
    }
    changed();
}

void SiteGenerator::List1_DblClick(int index)
{
    if (index < 0 || index >= m_list.count())
        return;
    // The generator skips entry 0 whatever it holds: it must stay the header.
    if (index == 0) {
        warn(QStringLiteral("The header line cannot be removed."));
        return;
    }
    m_list.removeAt(index);
    m_list.setSelected(-1);
}

void SiteGenerator::Command8_Click()
{
    for (QString &field : m_fields)
        field.clear();
    m_list.clear();
    m_list.setSelected(-1);
    m_list.add(shoppages::headerLine());
}

void SiteGenerator::Command7_Click()
{
    setText(DescriptionUrlField, m_state.Combo2.text);
}

void SiteGenerator::Command5_Click()
{
    const QString path = m_host.services().saveFileDialog(ProfileFilter);
    if (path.isEmpty())
        return;
    if (!writeFileAtomically(path, profilefile::write(description())))
        warn(QStringLiteral("The profile could not be written to \"%1\".").arg(path));
}

void SiteGenerator::Command6_Click()
{
    const QString path = m_host.services().openFileDialog(ProfileFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    std::optional<ShopDescription> shop;
    if (file.open(QIODevice::ReadOnly))
        shop = profilefile::read(file.readAll());
    if (!shop) {
        warn(QStringLiteral("\"%1\" cannot be read as a profile file.").arg(path));
        return;
    }
    m_fields[CategoryField] = shop->category;
    m_fields[EmailField] = shop->email;
    m_fields[GoBackField] = shop->goBack;
    m_card.setTableStyle(shop->tableStyle);
    m_card.setFontStyle(shop->fontStyle);
    m_card.setFormAction(shop->formAction);
    m_list.setItems(shop->entries);
    m_list.setSelected(-1);
    changed();
}

void SiteGenerator::Command1_Click()
{
    const GenerationReport report = generateSite(description(), m_programFolder, m_state.orderMode());
    m_saveProfileEnabled = true;
    changed();
    if (!report.message.isEmpty())
        warn(report.message);
}

void SiteGenerator::Command4_Click()
{
    const QString category = m_fields[CategoryField];
    if (const QString problem = shoppages::siteNameProblem(category); !problem.isEmpty()) {
        warn(problem);
        return;
    }
    m_visible = false;
    changed();
    const QString site = shoppages::siteName(category);
    const QString page = QDir(m_programFolder).absoluteFilePath(site + QStringLiteral("/f_") + site + QStringLiteral(".htm"));
    if (Browser *browser = m_host.browser(BrowserId::MainView)) {
        // The preview goes to the view the user sees: the second view gives way.
        if (Browser *secondView = m_host.browser(BrowserId::SecondView); secondView && secondView->isVisible()) {
            secondView->setVisible(false);
            m_state.setVisible(controlName(BrowserId::SecondView), false);
        }
        browser->setVisible(true);
        m_state.setVisible(controlName(BrowserId::MainView), true);
        m_state.notify();
        browser->navigate(QUrl::fromLocalFile(page).toString());
    }
}

void SiteGenerator::Command2_Click()
{
    m_card.show();
}

bool SiteGenerator::click(const QString &control, int index)
{
    if (!m_exists)
        return false;
    if (control == QLatin1String("List1")) {
        List1_Click(index < 0 ? m_list.selected() : index);
        return true;
    }
    static const QHash<QString, void (SiteGenerator::*)()> buttons = {
        {QStringLiteral("Command1"), &SiteGenerator::Command1_Click},
        {QStringLiteral("Command2"), &SiteGenerator::Command2_Click},
        {QStringLiteral("Command3"), &SiteGenerator::Command3_Click},
        {QStringLiteral("Command4"), &SiteGenerator::Command4_Click},
        {QStringLiteral("Command5"), &SiteGenerator::Command5_Click},
        {QStringLiteral("Command6"), &SiteGenerator::Command6_Click},
        {QStringLiteral("Command7"), &SiteGenerator::Command7_Click},
        {QStringLiteral("Command8"), &SiteGenerator::Command8_Click},
    };
    const auto handler = buttons.value(control);
    if (!handler)
        return false;
    if (control == QLatin1String("Command5") && !m_saveProfileEnabled)
        return true;  // a disabled button takes no click
    (this->*handler)();
    return true;
}

bool SiteGenerator::doubleClick(const QString &control, int index)
{
    if (!m_exists || control != QLatin1String("List1"))
        return false;
    List1_DblClick(index < 0 ? m_list.selected() : index);
    return true;
}

}  // namespace quorvane
