#include "framesnapshot.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>

namespace quorvane {

namespace {

// Distinct tag names shared between rows; a page inventing more gets copies.
constexpr qsizetype kMaxSharedTags = 1024;

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

QString stringAt(const QJsonArray &row, qsizetype index)
{
    return index < row.size() ? row.at(index).toString() : QString();
}

std::optional<std::vector<int>> parsePath(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray array = value.toArray();
    if (array.size() > kMaxFrameDepth)
        return std::nullopt;
    std::vector<int> path;
    path.reserve(size_t(array.size()));
    for (const QJsonValue &step : array) {
        const double index = step.toDouble(-1);
        if (!step.isDouble() || index < 0 || index >= kMaxFramesPerDocument || index != double(int(index)))
            return std::nullopt;
        path.push_back(int(index));
    }
    return path;
}

}  // namespace

std::optional<FrameSnapshot> parseFrameSnapshot(const QString &json)
{
    const std::optional<QJsonObject> object = parseObject(json, kMaxSnapshotChars);
    if (!object)
        return std::nullopt;
    std::optional<std::vector<int>> path = parsePath(object->value(QLatin1String("path")));
    if (!path)
        return std::nullopt;

    auto doc = std::make_shared<HtmlDocument>();
    doc->url = object->value(QLatin1String("url")).toString();
    doc->title = object->value(QLatin1String("title")).toString();
    doc->domain = object->value(QLatin1String("domain")).toString();
    doc->bodyTagName = object->value(QLatin1String("body")).toString();

    const QJsonArray links = object->value(QLatin1String("links")).toArray();
    doc->links.reserve(std::min<qsizetype>(links.size(), kMaxSnapshotItems));
    for (qsizetype i = 0; i < links.size() && i < kMaxSnapshotItems; ++i) {
        const QJsonArray row = links.at(i).toArray();
        HtmlLink link;
        link.href = stringAt(row, 0);
        link.outerText = stringAt(row, 1);
        link.rel = stringAt(row, 2);
        link.imageAlt = stringAt(row, 3);
        doc->links.append(std::move(link));
    }

    const QJsonArray images = object->value(QLatin1String("images")).toArray();
    doc->images.reserve(std::min<qsizetype>(images.size(), kMaxSnapshotItems));
    for (qsizetype i = 0; i < images.size() && i < kMaxSnapshotItems; ++i)
        doc->images.append(images.at(i).toString());

    // Rows are [tagName, outerText, href, src, name, content], trailing
    // empties dropped, or [tagName, index] for an element of the links, whose
    // text and address it shares. Tag names repeat: one string each.
    const QJsonArray all = object->value(QLatin1String("all")).toArray();
    doc->all.reserve(std::min<qsizetype>(all.size(), kMaxSnapshotItems));
    QHash<QString, QString> tags;
    for (qsizetype i = 0; i < all.size() && i < kMaxSnapshotItems; ++i) {
        const QJsonArray row = all.at(i).toArray();
        QString tag = stringAt(row, 0);
        const auto known = tags.constFind(tag);
        if (known != tags.cend())
            tag = known.value();
        else if (tags.size() < kMaxSharedTags)
            tags.insert(tag, tag);
        if (row.size() == 2 && row.at(1).isDouble()) {
            const double index = row.at(1).toDouble();
            if (index >= 0 && index < double(doc->links.size()) && index == double(qsizetype(index))) {
                const HtmlLink &link = doc->links.at(qsizetype(index));
                doc->all.append(HtmlElement{tag, link.outerText, link.href, {}, {}, {}});
                continue;
            }
        }
        doc->all.append(HtmlElement{tag, stringAt(row, 1), stringAt(row, 2),
                                    stringAt(row, 3), stringAt(row, 4), stringAt(row, 5)});
    }

    FrameSnapshot snapshot;
    snapshot.path = std::move(*path);
    snapshot.document = std::move(doc);
    snapshot.frameCount = std::clamp(object->value(QLatin1String("frames")).toInt(), 0, kMaxFramesPerDocument);
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
