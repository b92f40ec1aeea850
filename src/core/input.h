#pragma once

namespace quorvane {

// Mouse buttons with the window's codes.
enum class MouseButton { Left = 1, Right = 2, Middle = 4 };
// The keys the window's controls act on.
enum class Key { Enter, Delete };

}  // namespace quorvane
