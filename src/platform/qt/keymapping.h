#pragma once
// How a Qt key event reads as the key message the program expects.
#include <QString>
#include <Qt>

#include "platform/wintypes.h"

namespace kt {

// The virtual-key code of a Qt key, or 0 for a key the program has no code for.
int virtualkey(int qtkey);
UINT keymodifiers(Qt::KeyboardModifiers modifiers);
// The character the key types: what it shows, or the control character the
// platform types for Return, Enter, Tab and Backspace; 0 for none.
char32_t typedcharacter(int qtkey, const QString& text);

} // namespace kt
