#pragma once

#include <array>

#include <Qt>

// The hidden key sequence that switches the control mode: Ctrl+Shift+F12 arms it, then the
// letters F, C and T in that order. Any other key disarms it; Ctrl+Shift+F12 re-arms it.
class ModeKeySequence {
public:
    // Feeds one key press; true when the sequence has just been completed.
    bool Press(int key, Qt::KeyboardModifiers modifiers);
    bool IsArmed() const { return armed_; }
    int Position() const { return position_; }

private:
    static constexpr std::array<int, 3> kLetters = {Qt::Key_F, Qt::Key_C, Qt::Key_T};
    bool armed_ = false;
    int position_ = 0;
};
