#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace quorvane {

// The main window's host objects by role. Code names them by role; their
// control names ("WebBrowser1", "Timer3", "Inet1") are the contract of the
// event table, the dump and the automation language, and come only from
// controlName() here.

// The two views the user sees and the two hidden page readers.
enum class BrowserId {
    MainView,     // WebBrowser1, "Browser 1"
    SecondView,   // WebBrowser5, "Browser 2", the welcome page at start-up
    PageReader,   // WebBrowser2, reads the page queue for the report run
    ImageReader,  // WebBrowser4, walks the links list for pictures
};
// In the order the dump lists them.
inline constexpr std::array<BrowserId, 4> AllBrowsers = {BrowserId::MainView, BrowserId::SecondView,
                                                         BrowserId::PageReader, BrowserId::ImageReader};
inline constexpr std::array<BrowserId, 2> ShownBrowsers = {BrowserId::MainView, BrowserId::SecondView};

// Each value is the timer's number in its control name.
enum class TimerId {
    PageQueueTimeout = 3,  // one page load of the page reader
    Reader1Timeout = 4,    // one fetch of each keyword reader slot, 4 to 7
    Reader2Timeout = 5,
    Reader3Timeout = 6,
    Reader4Timeout = 7,
    Reserved8 = 8,
    ImageWalkTimeout = 9,        // one page load of the image reader
    PrivateChannelsRetry = 10,   // one retry of the private channel list
    PrivateSearchRetry = 11,     // one retry of the private search-engine list
    Reserved12 = 12,
    JournalFlush = 13,  // the session journal's write-behind, every second
    HomeSiteRetry = 14,  // the next try of the home site's lists after they failed
};
inline constexpr std::array<TimerId, 10> AllTimers = {
    TimerId::PageQueueTimeout, TimerId::Reader1Timeout, TimerId::Reader2Timeout, TimerId::Reader3Timeout,
    TimerId::Reader4Timeout,   TimerId::Reserved8,      TimerId::ImageWalkTimeout, TimerId::PrivateChannelsRetry,
    TimerId::PrivateSearchRetry, TimerId::Reserved12};
// Timers of the program's own background work: not window controls, so
// start-up leaves them alone and the dump does not list them.
inline constexpr std::array<TimerId, 2> BackgroundTimers = {TimerId::JournalFlush, TimerId::HomeSiteRetry};

// The transfer instances; each value is the number in its control name.
enum class TransferSlot {
    Reader1 = 1,  // the keyword readers, four at a time
    Reader2 = 2,
    Reader3 = 3,
    Reader4 = 4,
    PrivateChannels = 5,
    PublicChannels = 6,
    PublicSearch = 7,
    PrivateSearch = 8,
    Accounts = 9,
    NextHomePages = 10,
};
inline constexpr std::array<TransferSlot, 10> AllTransferSlots = {
    TransferSlot::Reader1,       TransferSlot::Reader2,       TransferSlot::Reader3,
    TransferSlot::Reader4,       TransferSlot::PrivateChannels, TransferSlot::PublicChannels,
    TransferSlot::PublicSearch,  TransferSlot::PrivateSearch, TransferSlot::Accounts,
    TransferSlot::NextHomePages};
inline constexpr int ReaderSlotCount = 4;

// Reader slot k (1 to 4) and the timer that guards its fetch.
constexpr TransferSlot readerSlot(int k) { return static_cast<TransferSlot>(k); }
constexpr TimerId readerTimeout(int k) { return static_cast<TimerId>(static_cast<int>(TimerId::Reader1Timeout) + k - 1); }

QString controlName(BrowserId id);
QString controlName(TimerId id);
QString controlName(TransferSlot slot);
// The browser with that control name, if any.
std::optional<BrowserId> browserNamed(QStringView name);

}  // namespace quorvane
