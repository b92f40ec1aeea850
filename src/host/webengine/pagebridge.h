#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace quorvane {

// The object the top frame's isolated script calls through the web channel.
// It only passes the text on: the receiver parses and bounds it.
class PageBridge final : public QObject {
    Q_OBJECT
public:
    using SnapshotHandler = std::function<void(const QString &window, int sequence, const QString &text)>;
    using MouseHandler = std::function<void(const QString &type, const QString &json)>;

    PageBridge(SnapshotHandler onSnapshot, MouseHandler onMouse, QObject *parent = nullptr);

    // window and sequence name the top document instance the data belongs to.
    Q_INVOKABLE void snapshot(const QString &window, int sequence, const QString &text);
    Q_INVOKABLE void mouse(const QString &type, const QString &json);

private:
    SnapshotHandler m_onSnapshot;
    MouseHandler m_onMouse;
};

}  // namespace quorvane
