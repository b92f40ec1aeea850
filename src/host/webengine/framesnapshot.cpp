#include "framesnapshot.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>

namespace quorvane {

namespace {

// Distinct tag names shared between rows; a page inventing more gets copies.
constexpr qsizetype kMaxSharedTags = 64;
// The values an element may carry after its tag: text, href, src, name, content.
constexpr qsizetype kMaxElementValues = 5;
const QLatin1StringView kFormat("quorvane-snapshot/2");

std::optional<QJsonObject> parseObject(const QString &json, qsizetype maxChars)
{
    if (json.size() > maxChars)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

// Reads the snapshot's fields in order: each is its length in UTF-16 units, a
// colon and that many characters. The first malformed field fails this and
// every later read.
class FieldReader final {
public:
    explicit FieldReader(QStringView text) : m_text(text) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_text.size(); }

    QStringView next()
    {
        const qsizetype colon = m_ok ? m_text.indexOf(QLatin1Char(':'), m_pos) : -1;
        const qsizetype length = colon < 0 ? -1 : decimal(m_text.sliced(m_pos, colon - m_pos));
        if (length < 0 || length > m_text.size() - colon - 1) {
            m_ok = false;
            return {};
        }
        m_pos = colon + 1 + length;
        return m_text.sliced(colon + 1, length);
    }

    QString text() { return next().toString(); }

    // A field holding a decimal number from 0 to max.
    qsizetype count(qsizetype max)
    {
        const qsizetype n = decimal(next());
        if (!m_ok || n < 0 || n > max) {
            m_ok = false;
            return -1;
        }
        return n;
    }

    // The number digits spell, or -1 unless they are one to nine decimal digits.
    static qsizetype decimal(QStringView digits)
    {
        if (digits.isEmpty() || digits.size() > 9)
            return -1;
        qsizetype n = 0;
        for (const QChar c : digits) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return -1;
            n = n * 10 + (c.unicode() - u'0');
        }
        return n;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

std::optional<std::vector<int>> parsePath(QStringView text)
{
    std::vector<int> path;
    if (text.isEmpty())
        return path;
    for (const QStringView step : text.tokenize(QLatin1Char(','))) {
        const qsizetype index = FieldReader::decimal(step);
        if (index < 0 || index >= kMaxFramesPerDocument || path.size() >= size_t(kMaxFrameDepth))
            return std::nullopt;
        path.push_back(int(index));
    }
    return path;
}

// One string per tag name: most pages use a few dozen.
class TagNames final {
public:
    QString take(QStringView name)
    {
        for (const QString &known : m_names) {
            if (known == name)
                return known;
        }
        QString copy = name.toString();
        if (m_names.size() < kMaxSharedTags)
            m_names.push_back(copy);
        return copy;
    }

private:
    std::vector<QString> m_names;
};

}  // namespace

std::optional<FrameSnapshot> parseFrameSnapshot(const QString &text)
{
    if (text.size() > kMaxSnapshotChars)
        return std::nullopt;
    FieldReader fields(text);
    if (fields.next() != kFormat)
        return std::nullopt;
    std::optional<std::vector<int>> path = parsePath(fields.next());
    if (!path || !fields.ok())
        return std::nullopt;

    auto doc = std::make_shared<HtmlDocument>();
    doc->url = fields.text();
    doc->title = fields.text();
    doc->domain = fields.text();
    doc->bodyTagName = fields.text();
    const qsizetype frameCount = fields.count(kMaxFramesPerDocument);

    const qsizetype links = fields.count(kMaxSnapshotItems);
    doc->links.reserve(std::max<qsizetype>(links, 0));
    for (qsizetype i = 0; i < links && fields.ok(); ++i) {
        HtmlLink link;
        link.href = fields.text();
        link.outerText = fields.text();
        link.rel = fields.text();
        link.imageAlt = fields.text();
        doc->links.append(std::move(link));
    }

    const qsizetype images = fields.count(kMaxSnapshotItems);
    doc->images.reserve(std::max<qsizetype>(images, 0));
    for (qsizetype i = 0; i < images && fields.ok(); ++i)
        doc->images.append(fields.text());

    // An A element that is one of the links shares its text and address.
    const qsizetype elements = fields.count(kMaxSnapshotItems);
    doc->all.reserve(std::max<qsizetype>(elements, 0));
    TagNames tags;
    for (qsizetype i = 0; i < elements && fields.ok(); ++i) {
        HtmlElement element;
        element.tagName = tags.take(fields.next());
        const QStringView kind = fields.next();
        if (kind.startsWith(QLatin1Char('L'))) {
            const qsizetype index = FieldReader::decimal(kind.sliced(1));
            if (index < 0 || index >= doc->links.size())
                return std::nullopt;
            const HtmlLink &link = doc->links.at(index);
            element.outerText = link.outerText;
            element.href = link.href;
        } else {
            const qsizetype count = kind.startsWith(QLatin1Char('E')) ? FieldReader::decimal(kind.sliced(1)) : -1;
            if (count < 0 || count > kMaxElementValues)
                return std::nullopt;
            QString *const values[] = {&element.outerText, &element.href, &element.src, &element.name, &element.content};
            for (qsizetype v = 0; v < count; ++v)
                *values[v] = fields.text();
        }
        doc->all.append(std::move(element));
    }
    if (!fields.ok() || !fields.atEnd())
        return std::nullopt;

    FrameSnapshot snapshot;
    snapshot.path = std::move(*path);
    snapshot.document = std::move(doc);
    snapshot.frameCount = int(frameCount);
    return snapshot;
}

std::optional<HtmlElement> parseMouseElement(const QString &json)
{
    const std::optional<QJsonObject> object = parseObject(json, kMaxMouseChars);
    if (!object)
        return std::nullopt;
    HtmlElement element;
    element.tagName = object->value(QLatin1String("tag")).toString();
    element.href = object->value(QLatin1String("href")).toString();
    element.src = object->value(QLatin1String("src")).toString();
    element.outerText = object->value(QLatin1String("text")).toString();
    return element;
}

}  // namespace quorvane
