#include "toolbar.h"

#include "core/commandtable.h"
#include "core/windowstate.h"
#include "host/host.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quorvane {

namespace {
using Press = PictureButtonInfo::Press;

const char *const programNames[] = {"mail program", "address book", "calculator"};

// Desktop programs tried in order when none is configured.
const QStringList &programCandidates(Toolbar::Program program)
{
    static const QStringList mail = {QStringLiteral("thunderbird"), QStringLiteral("evolution"),
                                     QStringLiteral("kmail"), QStringLiteral("geary"),
                                     QStringLiteral("claws-mail"), QStringLiteral("sylpheed")};
    static const QStringList book = {QStringLiteral("thunderbird -addressbook"),
                                     QStringLiteral("evolution --component=contacts"),
                                     QStringLiteral("kaddressbook"), QStringLiteral("gnome-contacts")};
    static const QStringList calc = {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                     QStringLiteral("galculator"), QStringLiteral("mate-calc"),
                                     QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
    switch (program) {
    case Toolbar::Program::Mail:
        return mail;
    case Toolbar::Program::AddressBook:
        return book;
    case Toolbar::Program::Calculator:
        break;
    }
    return calc;
}
}  // namespace

Toolbar::Toolbar(WindowState &state, Host &host, const Config &config)
    : m_state(state), m_host(host), m_config(config)
{
    for (const PictureButtonInfo &b : buttons())
        m_state.setPictureImage(QString::fromLatin1(b.name), QString::fromLatin1(b.normal));
    showProgramToolTips();
}

QString Toolbar::programToolTip(Program program, const QString &command)
{
    const QString name = programName(command);
    switch (program) {
    case Program::Mail:
        return name.isEmpty() ? QStringLiteral("Calls the mail program (none found: set one in Edit > Preferences)")
                              : QStringLiteral("Calls \"%1\"").arg(name);
    case Program::AddressBook:
        return QStringLiteral("Callas Address Book (%1)").arg(name.isEmpty() ? QStringLiteral("none found") : name);
    case Program::Calculator:
        break;
    }
    return QStringLiteral("Calls calculator (%1)").arg(name.isEmpty() ? QStringLiteral("none found") : name);
}

QString Toolbar::programName(const QString &command)
{
    const QStringList words = QProcess::splitCommand(command);
    return words.isEmpty() ? QString() : QFileInfo(words.first()).fileName();
}

void Toolbar::showProgramToolTips()
{
    // The design named programs of another system; these name the ones this
    // window starts, configured or found.
    const Program programs[] = {Program::Mail, Program::AddressBook, Program::Calculator};
    const char *const pictures[] = {"Picture19", "Picture20", "Picture21"};
    QString names[3];
    for (int i = 0; i < 3; ++i) {
        const QString command = programCommand(programs[i]);
        names[i] = programName(command);
        m_state.setPictureToolTip(QString::fromLatin1(pictures[i]), programToolTip(programs[i], command));
    }
    const QString &mail = names[0], &book = names[1], &calc = names[2];
    const QString none = QStringLiteral("none found");
    m_state.setPanelToolTip(6, QStringLiteral("Call  %1").arg(mail.isEmpty() ? QStringLiteral("the mail program (none found)") : mail));
    m_state.setPanelToolTip(7, QStringLiteral("Call calculator (%1)").arg(calc.isEmpty() ? none : calc));
    m_state.setPanelToolTip(8, QStringLiteral("Call address book (%1)").arg(book.isEmpty() ? none : book));
}

const QVector<PictureButtonInfo> &Toolbar::buttons()
{
    static const QVector<PictureButtonInfo> list = {
        {"Picture2", "Go back", "back1.bmp", "back1_up.bmp", "back1_down.bmp", Press::Left, {"Picture3"}},
        {"Picture3", "Go forward", "forward1.bmp", "forward1_on.bmp", "forward1_down.bmp", Press::Left, {"Picture2", "Picture4"}},
        {"Picture4", "Stop", "stop1.bmp", "stop1_on.bmp", "stop1_down.bmp", Press::Left, {"Picture3", "Picture5"}},
        {"Picture5", "Go home", "home1.bmp", "home1_on.bmp", "home1_down.bmp", Press::Left, {"Picture6", "Picture4"}},
        {"Picture6", "Refresh", "refresh1.bmp", "refresh1_on.bmp", "refresh1_down.bmp", Press::Left, {"Picture5", "Picture8"}},
        {"Picture8", "Search Engine Listing", "search1.bmp", "search1_on.bmp", "search1_down.bmp", Press::Left, {"Picture6", "Picture9"}},
        {"Picture9", "Your Favorites", "favorites.bmp", "favorites1_on.bmp", "favorites1_down.bmp", Press::Left, {"Picture8", "Picture10"}},
        {"Picture10", "Your History", "history1.bmp", "history1_on.bmp", "history1_down.bmp", Press::Left, {"Picture9", "Picture11"}},
        {"Picture11", "Your Channels", "chann_norm.bmp", "chann_on.bmp", "chann_down.bmp", Press::Left, {"Picture10", "Picture15"}},
        {"Picture14", "Private Zone enterance", "private1.bmp", "private1_on.bmp", "private1_down.bmp", Press::Left, {"Picture15", "Picture11"}},
        {"Picture15", "Collect Images autamatically", "collect1.bmp", "collect1_on.bmp", "collect1_down.bmp", Press::Left, {"Picture11", "Picture19"}},
        {"Picture19", "Calls \"OutLook Express\"", "outlook.bmp", "outlook_on.bmp", "outlook_down.bmp", Press::Left, {"Picture15", "Picture20"}},
        {"Picture20", "Callas Address Book", "book.bmp", "book_on.bmp", "book_down.bmp", Press::Left, {"Picture19", "Picture21"}},
        {"Picture21", "Calls calculator", "calk.bmp", "calk_on.bmp", "calk_down.bmp", Press::Left, {"Picture20", "Picture23"}},
        {"Picture23", "Switch between browsers", "switch.bmp", "switch_on.bmp", "switch_down.bmp", Press::Any, {"Picture21", "Picture24"}},
        {"Picture24", "Shows next home page", "nexthome.bmp", "nexthome_on.bmp", "", Press::None, {"Picture23", "Picture241"}},
        {"Picture241", "Get all links from a page", "get.bmp", "get_on.bmp", "get_down.bmp", Press::Any, {"Picture24", "Picture26"}},
        {"Picture26", "Previous link", "navright.bmp", "navright_on.bmp", "navright_down.bmp", Press::Any, {"Picture241", "Picture27"}},
        {"Picture27", "Next link", "navleft.bmp", "navleft_on.bmp", "navleft_down.bmp", Press::Any, {"Picture26", "Picture28"}},
        {"Picture28", "Cleares links listing", "dellink.bmp", "dellink_on.bmp", "dellink_down.bmp", Press::Any, {"Picture27"}},
    };
    return list;
}

const PictureButtonInfo *Toolbar::button(const QString &name)
{
    for (const PictureButtonInfo &b : buttons()) {
        if (name == QLatin1String(b.name))
            return &b;
    }
    return nullptr;
}

QStringList Toolbar::imageFiles()
{
    QStringList files;
    for (const PictureButtonInfo &b : buttons()) {
        for (const char *file : {b.normal, b.hover, b.pressed}) {
            if (*file)
                files.append(QString::fromLatin1(file));
        }
    }
    return files;
}

void Toolbar::bind(CommandTable &c)
{
    c.onButtonClick(QStringLiteral("Picture8"), [this] { showSearchEngines(); });
    c.onButtonClick(QStringLiteral("Picture11"), [this] { showChannels(); });
    c.onMenu(QStringLiteral("chann"), [this] { showChannels(); });
    const struct {
        const char *button;
        Program program;
    } launchers[] = {{"Picture19", Program::Mail}, {"Picture20", Program::AddressBook}, {"Picture21", Program::Calculator}};
    for (const auto &l : launchers) {
        const Program program = l.program;
        c.onButtonUp(QString::fromLatin1(l.button), [this, program](MouseButton button) {
            if (button == MouseButton::Left)
                startProgram(program);
        });
    }
}

void Toolbar::hover(const QString &name)
{
    const PictureButtonInfo *b = button(name);
    if (!b)
        return;
    m_state.setPictureImage(name, QString::fromLatin1(b->hover));
    for (const char *neighbour : b->resets) {
        if (const PictureButtonInfo *n = button(QString::fromLatin1(neighbour)))
            m_state.setPictureImage(QString::fromLatin1(n->name), QString::fromLatin1(n->normal));
    }
}

void Toolbar::backgroundHover()
{
    for (const PictureButtonInfo &b : buttons())
        m_state.setPictureImage(QString::fromLatin1(b.name), QString::fromLatin1(b.normal));
}

void Toolbar::mouseDown(const QString &name, MouseButton mouse)
{
    const PictureButtonInfo *b = button(name);
    if (!b)
        return;
    if (b->press == Press::Any || (b->press == Press::Left && mouse == MouseButton::Left))
        m_state.setPictureImage(name, QString::fromLatin1(b->pressed));
}

void Toolbar::mouseUp(const QString &name, MouseButton mouse)
{
    // Buttons pressed by any mouse button keep their pressed image until the pointer moves.
    const PictureButtonInfo *b = button(name);
    if (b && b->press == Press::Left && mouse == MouseButton::Left)
        m_state.setPictureImage(name, QString::fromLatin1(b->normal));
}

void Toolbar::showSearchEngines()
{
    showPopup("pub_search", "priv_search");
}

void Toolbar::showChannels()
{
    showPopup("pub_chann", "priv_cann");
}

void Toolbar::showPopup(const char *publicMenu, const char *privateMenu)
{
    if (!m_state.privateZone()) {
        m_host.services().popupMenu(QString::fromLatin1(publicMenu));
        m_state.setKeepPrivateRecord(true);
    } else {
        m_state.setKeepPrivateRecord(false);
        m_state.setVisible(QStringLiteral("Combo2"), false);
        m_host.services().popupMenu(QString::fromLatin1(privateMenu));
    }
    m_state.notify();
}

QString Toolbar::programCommand(Program program) const
{
    const QString configured = program == Program::Mail          ? m_config.mailProgram
                             : program == Program::AddressBook ? m_config.addressBookProgram
                                                               : m_config.calculatorProgram;
    if (!configured.trimmed().isEmpty())
        return configured.trimmed();
    for (const QString &candidate : programCandidates(program)) {
        const QString executable = candidate.section(QLatin1Char(' '), 0, 0);
        if (!QStandardPaths::findExecutable(executable).isEmpty())
            return candidate;
    }
    return {};
}

void Toolbar::startProgram(Program program)
{
    const QString what = QString::fromLatin1(programNames[int(program)]);
    const QString command = programCommand(program);
    QStringList arguments = QProcess::splitCommand(command);
    if (arguments.isEmpty()) {
        m_state.setPanelText(1, QStringLiteral("No %1 found; set one in the settings file").arg(what));
        return;
    }
    const QString executable = arguments.takeFirst();
    // Started detached: the window never waits for it.
    if (!m_host.services().startProgram(executable, arguments))
        m_state.setPanelText(1, QStringLiteral("Cannot start the %1 (%2)").arg(what, executable));
}

}  // namespace quorvane
