#include "menutree.h"

namespace quorvane {

const QVector<MenuEntry> &menuTree()
{
    using K = MenuEntry::Kind;
    static const QVector<MenuEntry> tree = {
        {"file", "File", "", K::Menu},
        {"open_file", "Open", "file", K::Command},
        {"opcollect", "Open Collection", "file", K::Command},
        {"save_file", "Save As", "file", K::Command},
        {"export", "Export", "file", K::Menu},
        {"exportlinks", "Links...", "export", K::Command},
        {"exportfound", "Found pages...", "export", K::Command},
        {"exportemails", "E-mail addresses...", "export", K::Command},
        {"exportemailpages", "E-mail addresses by page...", "export", K::Command},
        {"exportimages", "Image buffer...", "export", K::Command},
        {"exportreport", "Report rows...", "export", K::Command},
        {"www", "-", "file", K::Separator},
        {"pagesetup", "Page setup", "file", K::Command},
        {"print", "Print", "file", K::Command},
        {"rrr", "-", "file", K::Separator},
        {"exit", "Exit", "file", K::Command},
        {"edit", "Edit", "", K::Menu},
        {"copy", "Copy", "edit", K::Command},
        {"selectall", "Select All", "edit", K::Command},
        {"finder", "Finder", "", K::Menu},
        {"addlink", "Add Link", "finder", K::Command},
        {"getlinks", "Get/Add all Links", "finder", K::Command},
        {"fff", "-", "finder", K::Separator},
        {"findemail", "Find e-mail", "finder", K::Command},
        {"findcontact", "Find contact", "finder", K::Command},
        {"readit", "Find keywords", "finder", K::Command},
        {"hhh", "-", "finder", K::Separator},
        {"viewreport", "Create Full Report", "finder", K::Command},
        {"readnext", "Read next", "finder", K::Command},
        {"createadultlisting", "Create adult listing", "finder", K::Command},
        {"editadultlisting", "Edit adult listing", "finder", K::Command},
        {"view", "View", "", K::Menu},
        {"viewcatalo", "View catalog", "view", K::Command},
        {"clearcatalog", "Clear catalog", "view", K::Command},
        {"savecatalog", "Save catalog", "view", K::Command},
        {"hhhh", "-", "view", K::Separator},
        {"imagebuf", "View image buf", "view", K::Command},
        {"cllearimagebuf", "Clear image buf", "view", K::Command},
        {"sreport", "Save image buf", "view", K::Command},
        {"jjjj", "-", "view", K::Separator},
        {"viewlinks", "View report", "view", K::Command},
        {"savereport", "Save report", "view", K::Command},
        {"listlisting", "Veiw report listing", "view", K::Command},
        {"viewlinkslisting", "View links listing", "view", K::Command},
        {"viewemails", "View e-mail addresses", "view", K::Command},
        {"nav", "Go", "", K::Menu},
        {"back", "Go back", "nav", K::Command},
        {"forward", "Go Forward", "nav", K::Command},
        {"home", "Go Home", "nav", K::Command},
        {"sear", "Go Search", "nav", K::Command},
        {"yyy", "-", "nav", K::Separator},
        {"refresh", "Refresh", "nav", K::Command},
        {"uuu", "-", "nav", K::Separator},
        {"search", "Search", "", K::Menu},
        {"history", "History", "search", K::Command},
        {"chann", "Channels", "search", K::Command},
        {"privatte", "Private", "search", K::Command},
        {"add", "Add favorites", "search", K::Command},
        {"chann2", "Channels", "", K::Menu, true},
        {"mboard", "Motherboard", "chann2", K::Command},
        {"cpu", "CPU", "chann2", K::Command},
        {"mem", "Memory", "chann2", K::Command},
        {"tr", "Translation", "", K::Menu},
        {"pt_en", "Portuguese to English", "tr", K::Command},
        {"es_en", "Spanish to English", "tr", K::Command},
        {"it_en", "Italian to English", "tr", K::Command},
        {"de_en", "German to English", "tr", K::Command},
        {"fr_en", "French to English", "tr", K::Command},
        {"en_es", "English to Spanish", "tr", K::Command},
        {"en_pt", "English to Portuguese", "tr", K::Command},
        {"en_it", "English to Italian", "tr", K::Command},
        {"en_de", "English to German", "tr", K::Command},
        {"en_fr", "English to French", "tr", K::Command},
        {"vendarowizard", "Vendaro", "", K::Menu},
        {"wshipping", "By e-mail", "vendarowizard", K::Command},
        {"online", "On-line", "vendarowizard", K::Command},
        {"help", "Help", "", K::Menu},
        {"get_start", "Getting Started", "help", K::Command},
        {"hic", "How can I..?", "help", K::Command},
        {"special", "Customization", "help", K::Command},
        {"ppp", "-", "help", K::Separator},
        {"about", "About", "help", K::Command},
        {"pub_search", "pub_search", "", K::Popup, true},
        {"pub_chann", "pub_chann", "", K::Popup, true},
        {"priv_search", "priv_search", "", K::Popup, true},
        {"priv_cann", "priv_cann", "", K::Popup, true},
    };
    return tree;
}

QString popupOfMenuArray(const QString &array)
{
    if (array == QLatin1String("pubs"))
        return QStringLiteral("pub_search");
    if (array == QLatin1String("pubch"))
        return QStringLiteral("pub_chann");
    if (array == QLatin1String("privs"))
        return QStringLiteral("priv_search");
    if (array == QLatin1String("privch"))
        return QStringLiteral("priv_cann");
    return {};
}

}  // namespace quorvane
