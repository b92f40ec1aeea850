// Window updates gathered into frames, and the marks the state sets for them.
#include "core/updatepacer.h"
#include "core/windowstate.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace quorvane;

namespace {

// A pacer on a hand-moved clock; an armed update fires when the clock passes it.
struct PacedWindow {
    qint64 now = 0;
    qint64 armedAt = -1;
    std::vector<std::pair<qint64, unsigned>> updates;  // time, changes
    UpdatePacer pacer{[this] { return now; }, [this](int delay) { armedAt = now + delay; },
                      [this](unsigned changes) { updates.emplace_back(now, changes); }};

    void advance(qint64 ms)
    {
        const qint64 until = now + ms;
        while (armedAt >= 0 && armedAt <= until) {
            now = armedAt;
            armedAt = -1;
            pacer.fire();
        }
        now = until;
    }
};

}  // namespace

TEST(UpdatePacer, ChangesAreDrawnAtMostOnceAFrameWithEverythingMarked)
{
    const struct {
        const char *name;
        std::function<void(PacedWindow &)> run;
        std::vector<std::pair<qint64, unsigned>> updates;
    } cases[] = {
        {"a first change is drawn on the next turn",
         [](PacedWindow &w) { w.pacer.mark(1); w.pacer.mark(4); w.advance(0); }, {{0, 5}}},
        {"changes within a frame wait for its end",
         [](PacedWindow &w) { w.pacer.mark(1); w.advance(5); w.pacer.mark(2); w.advance(3); w.pacer.mark(8); w.advance(100); },
         {{0, 1}, {16, 10}}},
        {"an update made at once takes the marks, the armed one finds nothing",
         [](PacedWindow &w) {
             w.pacer.mark(2);
             EXPECT_EQ(w.pacer.take(), 2u);
             w.advance(100);
         },
         {}},
        // mark(0): the marks are kept elsewhere.
        {"a change just after an update made at once waits for the frame",
         [](PacedWindow &w) { w.advance(50); w.pacer.take(); w.advance(4); w.pacer.mark(0); w.advance(100); }, {{66, 0}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PacedWindow w;
        c.run(w);
        EXPECT_EQ(w.updates, c.updates);
    }
}

TEST(UpdatePacer, AChangeEveryMillisecondIsDrawnSixtyTimesASecond)
{
    PacedWindow w;
    for (int ms = 0; ms < 1000; ++ms) {
        w.pacer.mark(1);
        w.advance(1);
    }
    w.advance(100);
    EXPECT_GE(w.updates.size(), 55u);
    EXPECT_LE(w.updates.size(), 64u);
    for (size_t i = 1; i < w.updates.size(); ++i)
        EXPECT_GE(w.updates[i].first - w.updates[i - 1].first, UpdatePacer::FrameMs);
    EXPECT_GE(w.updates.back().first, 999);  // the last change is drawn too
}

// What the views redraw follows these marks; the state itself is read at once.
TEST(WindowStateChanges, EachChangeMarksWhatAViewRedraws)
{
    const struct {
        const char *name;
        std::function<void(WindowState &)> change;
        unsigned marks;
    } cases[] = {
        {"panel", [](WindowState &s) { s.setPanelText(2, "Found - 3 pages"); }, WindowState::PanelsChanged},
        {"found list", [](WindowState &s) { s.List1.add("http://a.test/"); }, WindowState::ListsChanged},
        {"keyword box list", [](WindowState &s) { s.Combo1.list.add("kw"); }, WindowState::CombosChanged},
        {"address text", [](WindowState &s) { s.setComboText(s.Combo2, "http://b.test/"); }, WindowState::CombosChanged},
        {"flag", [](WindowState &s) { s.setKeywordMode(true); }, WindowState::FlagsChanged},
        {"control", [](WindowState &s) { s.setVisible("List3", true); }, WindowState::ControlsChanged},
        {"menu array", [](WindowState &s) { s.setMenuArray("pubch", {"a", "b"}); }, WindowState::MenusChanged},
        {"picture", [](WindowState &s) { s.setPictureImage("Picture1", "back1_up.bmp"); }, WindowState::PicturesChanged},
        {"caption", [](WindowState &s) { s.setCaption("Other"); }, WindowState::CaptionChanged},
        {"focus", [](WindowState &s) { s.requestFocus("Combo1"); }, WindowState::FocusChanged},
        {"a plain notify", [](WindowState &s) { s.notify(); }, WindowState::AllChanged},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WindowState state;
        int told = 0;
        state.setChangeListener([&] { ++told; });
        state.takeChanges();
        c.change(state);
        EXPECT_EQ(told, 1);
        EXPECT_EQ(state.takeChanges(), c.marks);
        EXPECT_EQ(state.takeChanges(), 0u);
    }
}
