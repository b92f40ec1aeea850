#include "pageanalysis.h"

#include "core/addressgate.h"
#include "core/emailaddress.h"
#include "core/commandtable.h"
#include "core/htmltext.h"
#include "core/windowstate.h"
#include "core/wordsearch.h"
#include "host/host.h"

namespace quorvane {

namespace {
const QString bodyTag = QStringLiteral("BODY");

bool hasBody(const DocumentPtr &document)
{
    return document && document->bodyTagName == bodyTag;
}
}  // namespace

PageAnalysis::PageAnalysis(WindowState &state, Host &host, std::function<void()> readNextQueuedPage)
    : m_state(state), m_host(host), m_readNextQueuedPage(std::move(readNextQueuedPage))
{
}

void PageAnalysis::bind(CommandTable &commands)
{
    commands.onMenu(QStringLiteral("addlink"), [this] { addlink_Click(); });
}

QStringList PageAnalysis::addLinkWords()
{
    return {QStringLiteral("contact"), QStringLiteral("tel"),  QStringLiteral("phone"), QStringLiteral("fax"),
            QStringLiteral("address"), QStringLiteral("(   )"), QStringLiteral("-   -")};
}

QString PageAnalysis::titleRow(const QString &url, const QString &title)
{
    return QLatin1String("<tr><td width='100%' bgcolor='#FFFF00'><strong><font face='Arial'><a href='")
         + escapeHtmlAttribute(url) + QLatin1String("'>") + escapeHtmlText(title.isEmpty() ? url : title)
         + QLatin1String("</a></font></strong></td></tr>");
}

QString PageAnalysis::descriptionRow(const QString &description)
{
    return QLatin1String("<tr><td width='100%' bgcolor='#00FFFF'><small><font face='Arial'>")
         + escapeHtmlText(description) + QLatin1String("</font></small></td></tr>");
}

QString PageAnalysis::paragraphRow(const QString &text)
{
    return QLatin1String("<tr><td><p>") + escapeHtmlText(text) + QLatin1String("</p></td></tr>");
}

QString PageAnalysis::mailtoRow(const QString &address, const QString &text)
{
    // The row has no closing anchor tag; the table cell ends the link.
    return QLatin1String("<tr><td width='100%' bgcolor='#00FFFF'><font face='Arial'><small><a href='")
         + escapeHtmlAttribute(address) + QLatin1String("'>") + escapeHtmlText(text.isEmpty() ? address : text)
         + QLatin1String("</small></font></td></tr>");
}

QString PageAnalysis::imageRow(const QStringList &pictures)
{
    QString list;
    for (const QString &picture : pictures)
        list += QLatin1String("<img src='") + escapeHtmlAttribute(picture) + QLatin1String("'>");
    return QLatin1String("<tr><td width=100%> ") + list + QLatin1String("</td></tr>");
}

void PageAnalysis::addlink_Click()
{
    m_state.Combo1.list.setItems(addLinkWords());
    m_state.setComboText(m_state.Combo1, QString());
    Browser *main = m_host.browser(BrowserId::MainView);
    const DocumentPtr document = main ? main->document() : nullptr;
    analysePageWithQuestion(document);
    if (!document)
        return;
    // Frames of the page only, not frames inside frames.
    for (const DocumentPtr &frame : document->frames) {
        if (frame)
            analysePageWithQuestion(frame);
    }
}

void PageAnalysis::analysePageWithQuestion(const DocumentPtr &document)
{
    const WindowServices::Answer answer = m_host.services().messageBox(
        QStringLiteral("Would You like collect images ?"), QStringLiteral("Question???"), WindowServices::Buttons::YesNo);
    if (answer == WindowServices::Answer::Yes)
        m_state.setCollectImages(true);
    addTitleRow(document);
    addDescriptionRow(document);
    addMailtoRows(document);
    addParagraphRows(document);
    // Only the first document of one Add Link gets paragraph rows.
    m_state.Combo1.list.clear();
    m_state.setComboText(m_state.Combo1, QString());
    if (m_state.collectImages())
        addImageRow(document);
    m_state.setCollectImages(false);
}

void PageAnalysis::analysePageInBackground(const DocumentPtr &document)
{
    if (!document)
        return;
    addTitleRow(document);
    addDescriptionRow(document);
    addParagraphRows(document);
    addMailtoRows(document);
    if (m_state.collectImages())
        addImageRow(document);
    // The parser bounds the frame depth, so a page framing itself ends.
    for (const DocumentPtr &frame : document->frames)
        analysePageInBackground(frame);
}

void PageAnalysis::onReaderPageComplete()
{
    if (Timer *timer = m_host.timer(TimerId::PageQueueTimeout))
        timer->setEnabled(false);
    if (Browser *reader = m_host.browser(BrowserId::PageReader))
        analysePageInBackground(reader->document());
    if (!m_state.List4.isEmpty()) {
        m_readNextQueuedPage();
        return;
    }
    printReport();
}

void PageAnalysis::printReport()
{
    if (Browser *main = m_host.browser(BrowserId::MainView)) {
        main->closeDocument();
        main->writeDocument(QStringLiteral("<table border='0' width='100%' cellspacing='0' cellpadding='0'>"));
        for (const QString &row : m_state.List3.items())
            main->writeDocument(row);
        main->writeDocument(QStringLiteral("</table>"));
    }
    m_state.setKeywordMode(false);
    m_state.setCollectImages(false);
}

void PageAnalysis::addTitleRow(const DocumentPtr &document)
{
    if (document)
        m_state.List3.add(titleRow(document->url, document->title));
}

void PageAnalysis::addDescriptionRow(const DocumentPtr &document)
{
    if (!document)
        return;
    for (const HtmlElement &element : document->all) {
        if (element.tagName != QLatin1String("META") || element.name != QLatin1String("description"))
            continue;
        const QString &content = element.content;
        m_state.List3.add(descriptionRow(content.size() > LongDescription ? content.left(CutDescription) : content));
        return;
    }
}

void PageAnalysis::addParagraphRows(const DocumentPtr &document)
{
    if (!hasBody(document))
        return;
    const QStringList words = m_state.Combo1.list.items();
    for (const HtmlElement &element : document->all) {
        if (element.tagName != QLatin1String("P"))
            continue;
        for (const QString &word : words) {
            if (containsWord(element.outerText, word))
                m_state.List3.add(paragraphRow(element.outerText));
        }
    }
}

void PageAnalysis::addMailtoRows(const DocumentPtr &document)
{
    if (!document)
        return;
    for (const HtmlLink &link : document->links) {
        // "javascript:...//mailto:" holds the word too, but is no e-mail link.
        const bool openable = addressScheme(link.href) == u"mailto" || isPageAddressAllowed(link.href, document->url);
        if (openable && link.href.contains(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
            m_state.List3.add(mailtoRow(link.href, link.outerText));
            m_state.provenance.addEmail(mailtoAddress(link.href), document->url);
        }
    }
}

void PageAnalysis::addImageRow(const DocumentPtr &document)
{
    if (!hasBody(document))
        return;
    QStringList pictures;
    for (const HtmlLink &link : document->links) {
        if (isPictureLink(link.href) && isPageAddressAllowed(link.href, document->url))
            pictures.append(link.href);
    }
    for (const QString &src : document->images) {
        if (isPageAddressAllowed(src, document->url))
            pictures.append(src);
    }
    if (!pictures.isEmpty())
        m_state.List3.add(imageRow(pictures));
}

}  // namespace quorvane
