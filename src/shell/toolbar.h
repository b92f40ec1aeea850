#pragma once

#include "core/config.h"
#include "core/input.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;
struct Config;

// One picture button of the toolbar, in toolbar order.
struct PictureButtonInfo {
    enum class Press { Left, Any, None };
    const char *name;
    const char *toolTip;
    const char *normal;
    const char *hover;
    const char *pressed;  // empty when the button shows no pressed image
    Press press;
    QVector<const char *> resets;  // neighbours whose normal image a hover restores, in order
};

// The picture buttons' images (normal, hover, pressed), the two pop-up menu
// buttons and the three outside programs. The commands behind the other
// buttons belong to their own roles; the window logic hands every button event
// here first, so the images follow the same rules whoever owns the command.
class Toolbar final {
public:
    enum class Program { Mail, AddressBook, Calculator };

    Toolbar(WindowState &state, Host &host, const Config &config);

    static const QVector<PictureButtonInfo> &buttons();
    static const PictureButtonInfo *button(const QString &name);
    // Every bitmap file the toolbar may show.
    static QStringList imageFiles();

    void bind(CommandTable &commands);

    // Image rules; each ignores names that are not picture buttons.
    void hover(const QString &name);
    void backgroundHover();
    void mouseDown(const QString &name, MouseButton button);
    void mouseUp(const QString &name, MouseButton button);

    // Search-engine (Picture8) and channel (Picture11, menu chann) pop-ups.
    void showSearchEngines();
    void showChannels();

    // The command line a button would start, empty when none is configured or found.
    QString programCommand(Program program) const;
    void startProgram(Program program);
    // A program button's tool tip naming the program a command starts
    // (or saying none was found), and that program's name.
    static QString programToolTip(Program program, const QString &command);
    static QString programName(const QString &command);

private:
    void showPopup(const char *publicMenu, const char *privateMenu);
    void showProgramToolTips();

    WindowState &m_state;
    Host &m_host;
    const Config &m_config;
};

}  // namespace quorvane
