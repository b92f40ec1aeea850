#pragma once

#include <functional>

// Blocking waits on the Qt event loop, for tests and benchmarks only: the
// program itself never waits, it reacts to signals.
namespace quorvane {

// Runs the event loop until the condition holds; false after the time-out,
// which only guards against a hang. The condition is checked between short
// runs of the loop, not from inside it, so it may wait itself (run a page
// script, for one) without calling itself again meanwhile.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 30000);

// Runs the event loop for a while, to give unwanted signals a chance to arrive.
void spin(int ms);

}  // namespace quorvane
