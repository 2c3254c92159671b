#include "platform/qt/qtbackend.h"

#include <algorithm>
#include <thread>

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QUrl>

#include "platform/bitmaps.h"
#include "platform/core.h"
#include "platform/qt/clientview.h"
#include "platform/qt/commandmenubar.h"
#include "platform/qt/dialogwindow.h"
#include "platform/qt/filechooser.h"
#include "platform/qt/keyrouter.h"
#include "platform/qt/messageboxes.h"
#include "platform/qt/statusline.h"
#include "platform/qt/surfacetext.h"
#include "platform/qt/toplevelwindow.h"
#include "platform/qt/windowwidget.h"

namespace kt {

namespace {

// Rendering copies the picture to its window after every batch of steps and
// pumps twice per batch, tens of microseconds apart. Looking at input every
// ten milliseconds and showing the picture 30 times a second, smooth enough
// for a picture that grows, keeps nearly all of the render speed: each
// showing also pushes the hit counts out of the processor's cache.
constexpr auto eventInterval = std::chrono::milliseconds(10);
constexpr auto presentInterval = std::chrono::milliseconds(33);
// The time between presents is at least this many times what showing takes.
constexpr int presentCostShare = 30;
// How long a sleep waits between looks at the window system.
constexpr auto sleepStep = std::chrono::milliseconds(10);

// Dialogs and their controls are shown by rundialog, not as windows of their own.
bool istoplevel(HWND hwnd)
{
    return !(hwnd->style & WS_CHILD) && !isdialogwindow(hwnd);
}

TopLevelWindow* toplevelof(HWND hwnd)
{
    return dynamic_cast<TopLevelWindow*>(widgetof(hwnd));
}

Qt::CursorShape coreshape()
{
    HCURSOR cursor = GetCursor();
    // No cursor at all is what the platform shows for a null cursor too.
    if (cursordisplaycount() < 0 || !cursor)
        return Qt::BlankCursor;
    switch (cursor->shape) {
    case CursorShape::Cross:
        return Qt::CrossCursor;
    case CursorShape::Wait:
        return Qt::WaitCursor;
    case CursorShape::AppStarting:
        return Qt::BusyCursor;
    case CursorShape::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

QtBackend::QtBackend(int& argc, char** argv)
{
    if (!QApplication::instance())
        application_ = std::make_unique<QApplication>(argc, argv);
    // The program runs its own message loop. Qt quitting when its last window
    // closes would end every loop nested in it, a running dialog's included.
    QApplication::setQuitOnLastWindowClosed(false);
    keys_ = std::make_unique<KeyRouter>();
    QCoreApplication::instance()->installEventFilter(keys_.get());
}

QtBackend::~QtBackend()
{
    if (&backend() == this)
        setbackend(nullptr);
    for (TopLevelWindow* window : windows_) {
        if (window->hwnd())
            setwidget(window->hwnd(), nullptr);
        delete window;
    }
    // Widgets of windows destroyed earlier go before the application does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::instance()->removeEventFilter(keys_.get());
}

int QtBackend::screenwidth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

int QtBackend::screenheight()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

int QtBackend::screendepth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 0;
}

void QtBackend::pump(bool wait)
{
    if (wait) {
        // The program is paused or idle: block until input turns into a message.
        while (!messagewaiting()) {
            presentchanged();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return;
    }
    const Clock::time_point now = Clock::now();
    const bool presentdue = now >= nextPresent_;
    if (now < nextEvents_ && !presentdue)
        return;
    nextEvents_ = now + eventInterval;
    if (presentdue)
        presentchanged();
    QCoreApplication::processEvents();
    if (presentdue) {
        // Showing a large picture takes long enough to slow the render it
        // shows: the next one waits long enough that showing stays a small
        // share of the time, and never less than a display frame.
        const Clock::time_point shown = Clock::now();
        nextPresent_ = shown + std::max<Clock::duration>(presentInterval, (shown - now) * presentCostShare);
    }
    // Qt deletes later only from within its own event loop, which the program never runs.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtBackend::useprogramicon()
{
    const Surface* icon = programicon();
    if (!icon)
        return;
    const QImage image(reinterpret_cast<const uchar*>(icon->bits()), icon->width(), icon->height(), icon->width() * 4,
                       QImage::Format_RGB32);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(image.copy())));
}

void QtBackend::presentchanged()
{
    for (TopLevelWindow* window : windows_) {
        if (!window->isVisible())
            continue;
        if (window->view()->stale())
            window->view()->update();
        window->syncstatus();
    }
}

void QtBackend::initialclientsize(HWND hwnd, int*, int* height)
{
    if (!hwnd->menu)
        return;
    // The window's own menu bar and status line do not exist yet; ones built
    // the same way take the same height.
    const CommandMenuBar probe(hwnd, nullptr);
    const std::unique_ptr<StatusLine> status(new StatusLine(nullptr));
    *height = std::max(0, *height - probe.sizeHint().height() - status->height());
}

void QtBackend::windowcreated(HWND hwnd)
{
    if (!istoplevel(hwnd))
        return;
    if (QApplication::windowIcon().isNull())
        useprogramicon();
    auto* window = new TopLevelWindow(hwnd);
    setwidget(hwnd, window);
    windows_.push_back(window);
    window->setCursor(cursor_);
    cursorchanged();
}

void QtBackend::windowdestroyed(HWND hwnd)
{
    TopLevelWindow* window = toplevelof(hwnd);
    if (!window)
        return;
    setwidget(hwnd, nullptr);
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    window->detach();
    window->hide();
    // The core may destroy a window while Qt is delivering an event to its widget.
    window->deleteLater();
}

void QtBackend::windowchanged(HWND hwnd)
{
    if (TopLevelWindow* window = toplevelof(hwnd)) {
        const bool wasenabled = window->shownenabled();
        window->syncstate();
        // A window disabled under a popup of its own (the about box, the
        // histogram) leaves the keys to that popup, and takes them back once
        // enabled, as the platform the program was written for moves them.
        if (wasenabled == hwnd->enabled)
            return;
        if (hwnd->enabled) {
            if (window->isVisible() && !(hwnd->style & WS_POPUP))
                window->takekeys();
            return;
        }
        for (TopLevelWindow* owned : windows_)
            if (owned->hwnd() && owned->hwnd()->parent == hwnd && owned->isVisible())
                owned->takekeys();
        return;
    }
    // A running dialog, or one of its controls.
    for (HWND candidate : {hwnd, hwnd->parent})
        if (auto* dialog = dynamic_cast<DialogWindow*>(widgetof(candidate))) {
            dialog->refresh();
            return;
        }
}

void QtBackend::menuchanged(HWND hwnd)
{
    TopLevelWindow* window = toplevelof(hwnd);
    if (window && window->menubar())
        window->menubar()->sync();
}

void QtBackend::scrollchanged(HWND hwnd, int bar)
{
    if (TopLevelWindow* window = toplevelof(hwnd))
        window->syncscrollbar(bar);
}

void QtBackend::openmenu(HWND hwnd, int position)
{
    TopLevelWindow* window = toplevelof(hwnd);
    if (window && window->menubar())
        window->menubar()->openpopup(position);
}

void QtBackend::cursorchanged()
{
    const Qt::CursorShape shape = coreshape();
    if (shape == cursor_)
        return;
    cursor_ = shape;
    for (TopLevelWindow* window : windows_)
        window->setCursor(shape);
}

// A modal box or dialog runs Qt's own loop, where the program presents
// nothing: what was drawn just before it (a palette preview) is shown first.
int QtBackend::messagebox(const MessageBoxRequest& request)
{
    presentchanged();
    return showmessagebox(request);
}

std::optional<std::string> QtBackend::choosefile(const FileDialogRequest& request)
{
    presentchanged();
    return choosefilewithqt(request);
}

void QtBackend::rundialog(HWND dialog)
{
    presentchanged();
    rundialogwithqt(dialog, [this] { presentchanged(); });
}

bool QtBackend::opendocument(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

bool QtBackend::copyimage(const Surface& picture)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    const QImage shown(reinterpret_cast<const uchar*>(picture.bits()), picture.width(), picture.height(),
                       static_cast<qsizetype>(picture.width()) * 4, QImage::Format_RGB32);
    clipboard->setImage(shown.copy());
    return true;
}

void QtBackend::sleep(unsigned milliseconds)
{
    // The program handles no messages meanwhile, but what it shows (its
    // splash) is drawn: window-system and paint events are handled, input
    // waits until the program looks for it.
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (Clock::time_point now = Clock::now(); now < deadline; now = Clock::now()) {
        presentchanged();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        std::this_thread::sleep_for(std::min<Clock::duration>(sleepStep, deadline - Clock::now()));
    }
}

SIZE QtBackend::textsize(const std::string& text)
{
    return qttextsize(text);
}

void QtBackend::drawtext(Surface& surface, int x, int y, const std::string& text, COLORREF colour)
{
    qtdrawtext(surface, x, y, text, colour);
}

} // namespace kt
