#include "httpheaders.h"

namespace quorvane {

namespace {
bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
}  // namespace

bool HttpHeaders::add(const QByteArray &name, const QByteArray &value)
{
    const qsizetype size = name.size() + value.size();
    if (m_fields.size() >= MaxFields || m_bytes + size > MaxBytes)
        return false;
    m_fields.append({name, value});
    m_bytes += size;
    return true;
}

void HttpHeaders::addLine(QByteArrayView line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.startsWith("HTTP/")) {
        clear();
        return;
    }
    if (line.isEmpty())
        return;
    // An obsolete folded line continues the previous value.
    if (line.front() == ' ' || line.front() == '\t') {
        if (m_fields.isEmpty() || m_bytes + line.size() > MaxBytes)
            return;
        QByteArray &value = m_fields.last().second;
        value += ' ' + line.trimmed().toByteArray();
        m_bytes += line.size();
        return;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    add(line.first(colon).trimmed().toByteArray(), line.sliced(colon + 1).trimmed().toByteArray());
}

void HttpHeaders::clear()
{
    m_fields.clear();
    m_bytes = 0;
}

bool HttpHeaders::contains(QByteArrayView name) const
{
    for (const Field &field : m_fields) {
        if (sameName(field.first, name))
            return true;
    }
    return false;
}

QByteArray HttpHeaders::value(QByteArrayView name) const
{
    for (const Field &field : m_fields) {
        if (sameName(field.first, name))
            return field.second;
    }
    return {};
}

QList<QByteArray> HttpHeaders::values(QByteArrayView name) const
{
    QList<QByteArray> found;
    for (const Field &field : m_fields) {
        if (sameName(field.first, name))
            found.append(field.second);
    }
    return found;
}

}  // namespace quorvane
