#include "httpheaders.h"

namespace quorvane {

namespace {
bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
}  // namespace

bool HttpHeaders::addField(const QByteArray &name, const QByteArray &value) const
{
    const qsizetype size = name.size() + value.size();
    if (m_fields.size() >= MaxFields || m_bytes + size > MaxBytes)
        return false;
    m_fields.append({name, value});
    m_bytes += size;
    return true;
}

bool HttpHeaders::add(const QByteArray &name, const QByteArray &value)
{
    parse();
    return addField(name, value);
}

void HttpHeaders::addLine(QByteArrayView line)
{
    if (line.startsWith("HTTP/")) {
        clear();
        return;
    }
    // Lines past the bounds could never become fields.
    if (m_raw.size() + line.size() > 2 * MaxBytes)
        return;
    m_raw.append(line.data(), line.size());
    if (!m_raw.endsWith('\n'))
        m_raw.append('\n');
}

void HttpHeaders::parse() const
{
    if (m_raw.isEmpty())
        return;
    const QByteArray raw = m_raw;
    m_raw.clear();
    qsizetype start = 0;
    while (start < raw.size()) {
        qsizetype end = raw.indexOf('\n', start);
        if (end < 0)
            end = raw.size();
        QByteArrayView line = QByteArrayView(raw).sliced(start, end - start);
        start = end + 1;
        while (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        // An obsolete folded line continues the previous value.
        if (line.front() == ' ' || line.front() == '\t') {
            if (m_fields.isEmpty() || m_bytes + line.size() > MaxBytes)
                continue;
            QByteArray &value = m_fields.last().second;
            value += ' ' + line.trimmed().toByteArray();
            m_bytes += line.size();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        addField(line.first(colon).trimmed().toByteArray(), line.sliced(colon + 1).trimmed().toByteArray());
    }
}

void HttpHeaders::clear()
{
    m_raw.clear();
    m_fields.clear();
    m_bytes = 0;
}

const QList<HttpHeaders::Field> &HttpHeaders::fields() const
{
    parse();
    return m_fields;
}

bool HttpHeaders::contains(QByteArrayView name) const
{
    for (const Field &field : fields()) {
        if (sameName(field.first, name))
            return true;
    }
    return false;
}

QByteArray HttpHeaders::value(QByteArrayView name) const
{
    for (const Field &field : fields()) {
        if (sameName(field.first, name))
            return field.second;
    }
    return {};
}

QList<QByteArray> HttpHeaders::values(QByteArrayView name) const
{
    QList<QByteArray> found;
    for (const Field &field : fields()) {
        if (sameName(field.first, name))
            found.append(field.second);
    }
    return found;
}

}  // namespace quorvane
