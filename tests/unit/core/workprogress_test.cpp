// The progress of the window's long work: its clock, which work owns it, its texts.
#include "core/workprogress.h"

#include <gtest/gtest.h>

using namespace quorvane;
using Work = WorkProgress::Work;
using Phase = WorkProgress::Phase;

TEST(WorkProgressTest, ClockRunsOnlyWhileRunningAndOnlyTheOwningWorkMovesTheBar)
{
    qint64 now = 1000;
    int changes = 0;
    WorkProgress progress([&] { ++changes; });
    progress.setClock([&] { return now; });
    progress.start(Work::Keywords, 10);
    const struct {
        const char *step;
        std::function<void()> act;
        Phase phase;
        int done, total, found;
        qint64 elapsed;
    } steps[] = {
        {"runs 5 s", [&] { now += 5000; progress.update(Work::Keywords, 4, 10, 1); }, Phase::Running, 4, 10, 1, 5000},
        {"another work is ignored", [&] { progress.update(Work::ImageWalk, 9, 9, 9); }, Phase::Running, 4, 10, 1, 5000},
        {"done never passes total", [&] { progress.update(Work::Keywords, 12, 10, 2); }, Phase::Running, 12, 12, 2, 5000},
        {"stopped: the clock stands", [&] { progress.setPhase(Work::Keywords, Phase::Stopped); now += 60000; }, Phase::Stopped, 12, 12, 2, 5000},
        {"resumed", [&] { progress.setPhase(Work::Keywords, Phase::Running); now += 1000; }, Phase::Running, 12, 12, 2, 6000},
        {"finished", [&] { progress.setPhase(Work::Keywords, Phase::Finished); now += 9000; }, Phase::Finished, 12, 12, 2, 6000},
        {"a new start", [&] { progress.start(Work::Report, 3); now += 2000; }, Phase::Running, 0, 3, 0, 2000},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.step);
        s.act();
        EXPECT_EQ(progress.phase(), s.phase);
        EXPECT_EQ(progress.done(), s.done);
        EXPECT_EQ(progress.total(), s.total);
        EXPECT_EQ(progress.found(), s.found);
        EXPECT_EQ(progress.elapsedMs(), s.elapsed);
    }
    EXPECT_GT(changes, 5);
    const int before = changes;
    progress.update(Work::Report, 0, 3, 0);  // nothing new: the window is not told
    EXPECT_EQ(changes, before);
}

TEST(WorkProgressTest, TextsSayWhatWasCountedAndHowLongItRan)
{
    // progress_stop.sh reads the texts of a search, a report run and the image walk.
    WorkProgress progress({});
    progress.start(Work::Contact, 40);
    progress.update(Work::Contact, 3, 40, 2);
    EXPECT_EQ(progress.text(), "3/40 pages, 2 found");
    const struct {
        qint64 ms;
        const char *text;
    } times[] = {{0, "0:00"}, {999, "0:00"}, {61000, "1:01"}, {3600000 + 62000, "1:01:02"}, {-5, "0:00"}};
    for (const auto &t : times)
        EXPECT_EQ(WorkProgress::elapsedText(t.ms), t.text) << t.ms;
}
