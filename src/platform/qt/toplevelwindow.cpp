#include "platform/qt/toplevelwindow.h"

#include <algorithm>
#include <initializer_list>

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QGridLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/backend.h"
#include "platform/dropfiles.h"
#include "platform/qt/clientview.h"
#include "platform/qt/commandmenubar.h"
#include "platform/qt/statusline.h"
#include "platform/qt/windowwidget.h"

namespace kt {

namespace {

bool ispopup(HWND hwnd)
{
    return (hwnd->style & WS_POPUP) != 0;
}

// A popup with a caption (the histogram) is a small framed tool window; one
// without (splash, about) is a bare picture.
Qt::WindowFlags flagsfor(HWND hwnd)
{
    if (!ispopup(hwnd))
        return Qt::Window;
    if ((hwnd->style & WS_CAPTION) == WS_CAPTION)
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    return Qt::Tool | Qt::FramelessWindowHint;
}

// The scroll request a scroll bar action is, or -1 for one that is none.
int scrollrequest(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return SB_LINEUP;
    case QAbstractSlider::SliderSingleStepAdd:
        return SB_LINEDOWN;
    case QAbstractSlider::SliderPageStepSub:
        return SB_PAGEUP;
    case QAbstractSlider::SliderPageStepAdd:
        return SB_PAGEDOWN;
    case QAbstractSlider::SliderToMinimum:
        return SB_TOP;
    case QAbstractSlider::SliderToMaximum:
        return SB_BOTTOM;
    default:
        return -1;
    }
}

} // namespace

TopLevelWindow::TopLevelWindow(HWND hwnd) : QWidget(nullptr, flagsfor(hwnd)), hwnd_(hwnd)
{
    setWindowTitle(QString::fromStdString(hwnd->title));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    if (hwnd->menu) {
        menubar_ = new CommandMenuBar(hwnd, this);
        outer->setMenuBar(menubar_);
    }
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    view_ = new ClientView(hwnd, this);
    grid->addWidget(view_, 0, 0);
    if (hwnd->style & WS_VSCROLL)
        grid->addWidget(makescrollbar(SB_VERT), 0, 1);
    if (hwnd->style & WS_HSCROLL)
        grid->addWidget(makescrollbar(SB_HORZ), 1, 0);
    outer->addLayout(grid);
    if (hwnd->menu && !ispopup(hwnd)) {
        status_ = new StatusLine(this);
        outer->addWidget(status_);
        syncstatus();
    }
    view_->setFocus();

    if (ispopup(hwnd)) {
        setGeometry(hwnd->x, hwnd->y, hwnd->width, hwnd->height);
        // An owned popup stays above its owner, as the about box must not get
        // lost behind the main window it disables.
        if (QWidget* owner = widgetof(hwnd->parent)) {
            winId();
            owner->winId();
            windowHandle()->setTransientParent(owner->windowHandle());
        }
    } else {
        move(hwnd->x, hwnd->y);
        resize(hwnd->width, hwnd->height);
    }
}

QScrollBar* TopLevelWindow::makescrollbar(int bar)
{
    auto* scrollbar = new QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, this);
    bars_[bar] = scrollbar;
    // Keys belong to the program, not to the bar.
    scrollbar->setFocusPolicy(Qt::NoFocus);
    connect(scrollbar, &QAbstractSlider::actionTriggered, this,
            [this, bar](int action) { onscrollaction(bar, action); });
    connect(scrollbar, &QAbstractSlider::sliderMoved, this, [this, bar](int position) {
        if (hwnd_)
            deliverscroll(hwnd_, bar, SB_THUMBTRACK, position);
    });
    connect(scrollbar, &QAbstractSlider::sliderReleased, this, [this, bar, scrollbar] {
        if (hwnd_)
            deliverscroll(hwnd_, bar, SB_THUMBPOSITION, scrollbar->sliderPosition());
    });
    syncscrollbar(bar);
    return scrollbar;
}

void TopLevelWindow::onscrollaction(int bar, int action)
{
    QScrollBar* scrollbar = bars_[bar];
    // A drag is reported by sliderMoved and sliderReleased.
    if (!hwnd_ || (action == QAbstractSlider::SliderMove && scrollbar->isSliderDown()))
        return;
    if (const int request = scrollrequest(action); request >= 0)
        deliverscroll(hwnd_, bar, request, 0);
    // The program moves the bar when it handles the request; until then the
    // thumb stays where the core has it. The wheel over a bar asks for
    // nothing the program handles, so it moves nothing either.
    const QSignalBlocker quiet(scrollbar);
    scrollbar->setSliderPosition(hwnd_->scroll[bar].nPos);
}

void TopLevelWindow::syncscrollbar(int bar)
{
    QScrollBar* scrollbar = bars_[bar];
    if (!scrollbar || !hwnd_)
        return;
    const SCROLLINFO& info = hwnd_->scroll[bar];
    const QSignalBlocker quiet(scrollbar);
    // The highest position the core allows for this page.
    const int highest = std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage), 1) + 1);
    scrollbar->setRange(info.nMin, highest);
    scrollbar->setPageStep(static_cast<int>(info.nPage));
    scrollbar->setValue(info.nPos);
    // The view gives or takes the bar's room when the layout next runs, and
    // then reports its new size.
    scrollbar->setVisible(scrollbarvisible(hwnd_, bar));
}

void TopLevelWindow::syncstatus()
{
    if (!status_ || !hwnd_)
        return;
    const QString text = QString::fromStdString(hwnd_->status);
    if (status_->text() != text)
        status_->setText(text);
}

void TopLevelWindow::syncstate()
{
    if (!hwnd_)
        return;
    setWindowTitle(QString::fromStdString(hwnd_->title));
    // The widget itself stays enabled: a dialog or message box owned by this
    // window is a Qt child of it and would be disabled along with it.
    for (QWidget* part : std::initializer_list<QWidget*>{view_, bars_[SB_HORZ], bars_[SB_VERT]})
        if (part)
            part->setEnabled(hwnd_->enabled);
    // A disabled window's menu bar keeps its look, as on the platform the
    // program was written for; it refuses input by itself.
    if (hwnd_->enabled)
        view_->setFocus();
    shownenabled_ = hwnd_->enabled;
    if (ispopup(hwnd_) && geometry() != QRect(hwnd_->x, hwnd_->y, hwnd_->width, hwnd_->height))
        setGeometry(hwnd_->x, hwnd_->y, hwnd_->width, hwnd_->height);
    setAcceptDrops(hwnd_->acceptsfiles);
    setVisible(hwnd_->visible);
    if (hwnd_->visible && hwnd_->fullscreen != isFullScreen()) {
        if (hwnd_->fullscreen)
            showFullScreen();
        else
            showNormal();
    }
    // A fixed client size shows at another scale.
    view_->update();
}

void TopLevelWindow::takekeys()
{
    raise();
    activateWindow();
    view_->setFocus();
}

void TopLevelWindow::detach()
{
    hwnd_ = nullptr;
    view_->detach();
    if (menubar_)
        menubar_->detach();
}

void TopLevelWindow::closeEvent(QCloseEvent* event)
{
    // Whether the window closes is the program's decision; a disabled window
    // (one with a dialog or the about box up) cannot be closed at all, as on
    // the platform the program was written for.
    event->ignore();
    if (hwnd_ && hwnd_->enabled)
        deliverclose(hwnd_);
}

namespace {

// The local files a drag carries; what is not a file here (a web address)
// cannot be opened.
std::vector<std::string> localfiles(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

} // namespace

void TopLevelWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (hwnd_ && hwnd_->enabled && hwnd_->acceptsfiles && !localfiles(event->mimeData()).empty())
        event->acceptProposedAction();
}

void TopLevelWindow::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> paths = localfiles(event->mimeData());
    if (!hwnd_ || paths.empty())
        return;
    deliverdrop(hwnd_, paths);
    event->acceptProposedAction();
}

void TopLevelWindow::moveEvent(QMoveEvent*)
{
    const QPoint at = frameGeometry().topLeft();
    if (hwnd_ && (at.x() != hwnd_->x || at.y() != hwnd_->y))
        delivermove(hwnd_, at.x(), at.y());
}

} // namespace kt
