#pragma once
// Tests of the Qt backend run the way the program does: one application and
// one backend for the whole process, windows made through the core, and what
// the program would receive read back from the core's queue.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <QApplication>
#include <QObject>

#include "platform/qt/qtbackend.h"
#include "platform/qt/toplevelwindow.h"
#include "platform/window.h"

namespace kt::testing {

QtBackend& qtbackend();

// Messages the window procedure of the test windows was sent directly.
std::vector<MSG>& sentmessages();

// The test menu: a File popup (Open, a separator, Exit), a Color popup
// (a separator, Hits, and Depth which starts checked) and a Render command
// on the bar.
constexpr UINT cmdOpen = 101, cmdExit = 102, cmdHits = 201, cmdDepth = 202, cmdRender = 301;

// A main window as the program makes one: overlapped, with the menu and both
// scroll bars, shown and exposed.
HWND makemainwindow(int width = 640, int height = 480);
// A frameless popup at a place on the screen, shown and exposed.
HWND makepopup(int x, int y, int width, int height, HWND owner = nullptr);

TopLevelWindow* widgetfor(HWND hwnd);

// Everything posted since the last call, oldest first; paint requests are
// answered on the way, as the program's loop would.
std::vector<MSG> postedmessages();

// Runs `answer` once Qt's modal loop shows the next modal widget.
void whenmodal(std::function<void(QWidget*)> answer);

// Counts the paint events a widget gets while the counter lives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }
    int paints() const { return paints_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints_;
        return false;
    }

private:
    int paints_ = 0;
};

class QtBackendTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace kt::testing
