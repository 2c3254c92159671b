#pragma once
// What a backend provides to the window-system core: the screen, input, and
// the showing of windows, menus, message boxes, dialogs and file choosers.
#include <optional>
#include <string>

#include "platform/filedialog.h"
#include "platform/gdi.h"
#include "platform/messagebox.h"
#include "platform/window.h"

namespace kt {

class Backend {
public:
    virtual ~Backend() = default;

    virtual int screenwidth() = 0;
    virtual int screenheight() = 0;
    virtual int screendepth() = 0;

    // Turns pending input into posted messages. With `wait`, returns only once
    // there is a message to fetch.
    virtual void pump(bool wait) = 0;

    // The client size a new window of this frame size has.
    virtual void initialclientsize(HWND hwnd, int* width, int* height) = 0;

    virtual void windowcreated(HWND) {}
    virtual void windowdestroyed(HWND) {}
    virtual void windowchanged(HWND) {} // shown, hidden, enabled, moved
    virtual void menuchanged(HWND) {}
    virtual void scrollchanged(HWND, int /*bar*/) {}
    virtual void cursorchanged() {}
    // Opens the popup at `position` of the window's menu bar for the keys,
    // as Alt and its letter do.
    virtual void openmenu(HWND, int /*position*/) {}

    virtual int messagebox(const MessageBoxRequest& request) = 0;
    // The chosen path, or nothing for Cancel.
    virtual std::optional<std::string> choosefile(const FileDialogRequest& request) = 0;
    // Shows the dialog and returns once EndDialog was called for it.
    virtual void rundialog(HWND dialog) = 0;
    virtual void sleep(unsigned milliseconds) = 0;
    virtual bool opendocument(const std::string& /*path*/) { return false; }
    // Puts a picture on the desktop's clipboard; the core keeps its own copy.
    virtual bool copyimage(const Surface&) { return true; }
    // A line of text in the display's font: the pixels it takes, and drawn
    // onto a surface with its top-left corner at (x, y). Text goes onto the
    // main window's pictures, which are in device pixels, and is sized so.
    virtual SIZE textsize(const std::string& text) = 0;
    virtual void drawtext(Surface& surface, int x, int y, const std::string& text, COLORREF colour) = 0;
};

// The backend in use; the headless one unless another was set.
Backend& backend();
void setbackend(Backend* backend); // nullptr restores the headless one

// Input as a backend delivers it. A disabled window takes no input.
void deliverkey(HWND hwnd, int key, UINT modifiers, char32_t character);
void deliverclick(HWND hwnd, bool left, int x, int y);
// The middle button pressed or released, the mouse moved while it is down.
void delivermiddle(HWND hwnd, UINT message, int x, int y);
// The wheel turned by `delta` (WHEEL_DELTA a notch, positive away from the user).
void deliverwheel(HWND hwnd, int delta, int x, int y);
void deliverclientsize(HWND hwnd, int width, int height);
void delivermove(HWND hwnd, int x, int y);
void deliverscroll(HWND hwnd, int bar, int request, int position);
void deliverclose(HWND hwnd);                // a disabled window cannot be closed by the user
void delivermenucommand(HWND hwnd, UINT id); // ignored for a greyed item
// Letters typed into an open popup of the window's menu: each opens the
// submenu with that Alt letter, or chooses the command with it (a greyed one
// does nothing); a letter no item has closes the menu.
void delivermenukeys(HWND hwnd, HMENU popup, const std::string& letters);

} // namespace kt
