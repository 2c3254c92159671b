#pragma once
// The Qt Widgets backend: shows the core's windows, menus, message boxes,
// file choosers and dialogs with Qt, and feeds what the user does back to
// the core. Create it before any window, and set it with setbackend.
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Qt>

#include "platform/backend.h"

class QApplication;

namespace kt {

class KeyRouter;
class TopLevelWindow;

class QtBackend : public Backend {
public:
    // Makes the QApplication unless one exists already, which must then
    // outlive the backend; argc and argv must outlive it too, as Qt keeps them.
    QtBackend(int& argc, char** argv);
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    int screenwidth() override;
    int screenheight() override;
    int screendepth() override;

    void pump(bool wait) override;
    void initialclientsize(HWND hwnd, int* width, int* height) override;

    void windowcreated(HWND hwnd) override;
    void windowdestroyed(HWND hwnd) override;
    void windowchanged(HWND hwnd) override;
    void menuchanged(HWND hwnd) override;
    void scrollchanged(HWND hwnd, int bar) override;
    void cursorchanged() override;
    void openmenu(HWND hwnd, int position) override;

    int messagebox(const MessageBoxRequest& request) override;
    std::optional<std::string> choosefile(const FileDialogRequest& request) override;
    void rundialog(HWND dialog) override;
    void sleep(unsigned milliseconds) override;
    bool opendocument(const std::string& path) override;
    bool copyimage(const Surface& picture) override;
    SIZE textsize(const std::string& text) override;
    void drawtext(Surface& surface, int x, int y, const std::string& text, COLORREF colour) override;

private:
    using Clock = std::chrono::steady_clock;

    // Asks for a repaint of every shown window whose surface changed, and
    // shows each status line as the core has it.
    void presentchanged();
    // The window icon, from the program's icon once it is set.
    void useprogramicon();

    std::unique_ptr<QApplication> application_;
    std::unique_ptr<KeyRouter> keys_;
    std::vector<TopLevelWindow*> windows_;
    Qt::CursorShape cursor_ = Qt::ArrowCursor;
    Clock::time_point nextEvents_{};
    Clock::time_point nextPresent_{};
};

} // namespace kt
