#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

namespace quorvane {

// The header fields of one HTTP response, in the order received. Names are
// compared case-insensitively, as HTTP wants; values are kept as sent, without
// the surrounding white space.
class HttpHeaders final {
public:
    using Field = std::pair<QByteArray, QByteArray>;

    // Bounds on what one response may leave here, so that a server sending
    // endless header lines cannot fill memory; fields past them are dropped.
    static constexpr int MaxFields = 256;
    static constexpr qsizetype MaxBytes = 64 * 1024;

    // Adds a field; false when it was dropped for the bounds above.
    bool add(const QByteArray &name, const QByteArray &value);
    // Takes one raw header line ("Name: value", a folded continuation, or a
    // status line, which starts a new response and so empties the set).
    void addLine(QByteArrayView line);
    void clear();

    bool contains(QByteArrayView name) const;
    // The first field of that name; empty when there is none.
    QByteArray value(QByteArrayView name) const;
    // Every field of that name, in order.
    QList<QByteArray> values(QByteArrayView name) const;
    const QList<Field> &fields() const;
    bool isEmpty() const { return fields().isEmpty(); }

private:
    // Raw lines are split into fields on the first look only: most responses
    // are never asked about their headers, and a transfer should not pay for
    // them on every page.
    void parse() const;
    bool addField(const QByteArray &name, const QByteArray &value) const;

    mutable QByteArray m_raw;
    mutable QList<Field> m_fields;
    mutable qsizetype m_bytes = 0;
};

}  // namespace quorvane
