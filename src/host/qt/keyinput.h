#pragma once

class QKeySequence;
class QWidget;

namespace quorvane {

// Presses the keys of a one-chord sequence on target as the keyboard gives
// them: a window or application shortcut takes the chord first, as it does
// for a real key press; otherwise target gets the key press and release.
// False for an empty sequence.
bool sendKeyChord(QWidget *target, const QKeySequence &chord);

}  // namespace quorvane
