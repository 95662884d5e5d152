#include "gui/main/ModeKeySequence.h"

bool ModeKeySequence::Press(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers.testFlag(Qt::ShiftModifier) && modifiers.testFlag(Qt::ControlModifier) && key == Qt::Key_F12) {
        armed_ = true;
        position_ = 0;
        return false;
    }
    if (!armed_)
        return false;
    // Modifier keys pressed on their own do not count as a key of the sequence.
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta)
        return false;
    if (key != kLetters[position_]) {
        armed_ = false;
        position_ = 0;
        return false;
    }
    if (++position_ < static_cast<int>(kLetters.size()))
        return false;
    armed_ = false;
    position_ = 0;
    return true;
}
