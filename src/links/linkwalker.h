#pragma once

#include <QString>

namespace quorvane {

class CommandTable;
class Host;
class WindowState;

// Walks the harvested links one by one (Picture26 back, Picture27 on, Picture28
// forgets the walk) and edits the links list: a right click opens an entry, a
// double click removes it for good.
class LinkWalker final {
public:
    LinkWalker(WindowState &state, Host &host);

    void bind(CommandTable &commands);

    void previousLink();
    void nextLink();
    void clearWalk();
    void openSelectedLink();
    void deleteSelectedLink();

    // The link text of a List3 row: from its first ">" to the next "<", as plain text.
    static QString linkTextOfRow(const QString &row);

private:
    // currentLinkIndex within List7, which a later, shorter harvest may have left behind.
    int clampedIndex() const;
    void showStep(int index);
    // The link text of row index, or the address itself when List3 has no such row.
    QString stepText(int index) const;

    WindowState &m_state;
    Host &m_host;
};

}  // namespace quorvane
