#include "platform/qt/keymapping.h"

#include <QList>

namespace kt {

int virtualkey(int qtkey)
{
    if (qtkey >= Qt::Key_A && qtkey <= Qt::Key_Z)
        return 'A' + (qtkey - Qt::Key_A);
    if (qtkey >= Qt::Key_0 && qtkey <= Qt::Key_9)
        return '0' + (qtkey - Qt::Key_0);
    if (qtkey >= Qt::Key_F1 && qtkey <= Qt::Key_F12)
        return VK_F1 + (qtkey - Qt::Key_F1);
    switch (qtkey) {
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Backspace:
        return VK_BACK;
    // Qt reports Shift+Tab as a key of its own; the program sees Tab with Shift.
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    default:
        return 0;
    }
}

UINT keymodifiers(Qt::KeyboardModifiers modifiers)
{
    return ((modifiers & Qt::ShiftModifier) ? MOD_SHIFT : 0) | ((modifiers & Qt::ControlModifier) ? MOD_CONTROL : 0) |
        ((modifiers & Qt::AltModifier) ? MOD_ALT : 0);
}

char32_t typedcharacter(int qtkey, const QString& text)
{
    // Windows close on these characters; Qt's text for them varies by
    // platform plugin (often none), so the key decides. Escape types nothing:
    // the accelerator table takes it first.
    switch (qtkey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return U'\r';
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return U'\t';
    case Qt::Key_Backspace:
        return U'\b';
    default:
        break;
    }
    const auto codes = text.toUcs4();
    if (codes.isEmpty())
        return 0;
    const char32_t first = codes.front();
    // Other control characters (Ctrl+letter, Escape) type nothing the
    // program could show.
    return QChar::isPrint(first) ? first : 0;
}

} // namespace kt
