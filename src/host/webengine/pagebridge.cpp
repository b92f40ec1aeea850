#include "pagebridge.h"

namespace quorvane {

PageBridge::PageBridge(SnapshotHandler onSnapshot, MouseHandler onMouse, QObject *parent)
    : QObject(parent), m_onSnapshot(std::move(onSnapshot)), m_onMouse(std::move(onMouse))
{
}

void PageBridge::snapshot(const QString &window, int sequence, const QString &text)
{
    if (m_onSnapshot)
        m_onSnapshot(window, sequence, text);
}

void PageBridge::mouse(const QString &type, const QString &json)
{
    if (m_onMouse)
        m_onMouse(type, json);
}

}  // namespace quorvane
