#include "platform/qt/keyrouter.h"

#include <QKeyEvent>
#include <QWidget>

#include "platform/backend.h"
#include "platform/qt/keymapping.h"
#include "platform/qt/toplevelwindow.h"

namespace kt {

namespace {

// The core window whose widgets receive the event; nullptr for dialogs,
// message boxes, open menus and anything else Qt runs by itself.
HWND targetwindow(QObject* watched)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* window = widget ? dynamic_cast<TopLevelWindow*>(widget->window()) : nullptr;
    return window ? window->hwnd() : nullptr;
}

} // namespace

bool KeyRouter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    HWND hwnd = targetwindow(watched);
    if (!hwnd)
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Accepting the override is how a widget claims a key from the
        // shortcut map; the menu bar's mnemonics and its Alt handling never
        // see it.
        event->accept();
        return true;
    }
    if (type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = virtualkey(key->key());
        const char32_t character = typedcharacter(key->key(), key->text());
        // A key without a code of its own still types its character.
        if (code || character)
            deliverkey(hwnd, code, keymodifiers(key->modifiers()), character);
    }
    // Releases are taken too: releasing Alt is what moves Qt's menu bar into
    // keyboard navigation.
    return true;
}

} // namespace kt
