#pragma once
// The headless backend: no display and nobody to ask. Message boxes take
// their default answer, file choosers and dialogs are cancelled, and a wait
// for input ends the message loop, as no input will ever come.
#include <optional>
#include <string>

#include "platform/backend.h"

namespace kt {

class HeadlessBackend : public Backend {
public:
    // The quit code GetMessage returns when the program waits for input.
    static constexpr int noinput = 0x5C1;

    int width = 1024;
    int height = 768;
    int depth = 32;
    int menuheight = 20; // what a menu bar takes from a window's client area

    int screenwidth() override { return width; }
    int screenheight() override { return height; }
    int screendepth() override { return depth; }
    void pump(bool wait) override;
    void initialclientsize(HWND hwnd, int* w, int* h) override;
    int messagebox(const MessageBoxRequest& request) override; // OK, or Yes for a question
    std::optional<std::string> choosefile(const FileDialogRequest& request) override;
    void rundialog(HWND dialog) override;
    void sleep(unsigned) override {}
    // No fonts here: every character takes a cell of `glyph` pixels, and one
    // that is not a space is drawn as a solid block within it, so that text
    // still changes the pixels it covers.
    static constexpr SIZE glyph{8, 16};
    SIZE textsize(const std::string& text) override;
    void drawtext(Surface& surface, int x, int y, const std::string& text, COLORREF colour) override;
};

} // namespace kt
