#include "qtfixture.h"

#include <memory>

#include <QTest>
#include <QTimer>

namespace kt::testing {

namespace {

int argc = 1;
char programname[] = "qt_platform_tests";
char* argv[] = {programname, nullptr};
std::unique_ptr<QtBackend> theBackend;

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { theBackend = std::make_unique<QtBackend>(argc, argv); }
    void TearDown() override { theBackend.reset(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

LRESULT recordingproc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    sentmessages().push_back(MSG{hwnd, message, wParam, lParam});
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

const MenuTemplate& testmenu()
{
    static const MenuTemplate menu = {
        {0,
         "&File",
         false,
         {{cmdOpen, "&Open...\tCtrl+O", false, {}}, {0, "", false, {}}, {cmdExit, "E&xit", false, {}}}},
        {0, "&Color", false, {{0, "", false, {}}, {cmdHits, "&Hits", false, {}}, {cmdDepth, "&Depth", true, {}}}},
        {cmdRender, "&Render", false, {}},
    };
    return menu;
}

void registerclasses()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = recordingproc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.menu = &testmenu();
    wc.lpszClassName = "KTQtTestMain";
    RegisterClassA(&wc);
    wc.menu = nullptr;
    wc.lpszClassName = "KTQtTestPopup";
    RegisterClassA(&wc);
}

HWND showandexpose(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(widgetfor(hwnd)));
    return hwnd;
}

} // namespace

QtBackend& qtbackend()
{
    return *theBackend;
}

std::vector<MSG>& sentmessages()
{
    static std::vector<MSG> messages;
    return messages;
}

HWND makemainwindow(int width, int height)
{
    registerclasses();
    return showandexpose(CreateWindowExA(0, "KTQtTestMain", "Test main window",
                                         WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL, 20, 30, width, height, nullptr,
                                         nullptr, nullptr, nullptr));
}

HWND makepopup(int x, int y, int width, int height, HWND owner)
{
    registerclasses();
    return showandexpose(
        CreateWindowExA(0, "KTQtTestPopup", nullptr, WS_POPUP, x, y, width, height, owner, nullptr, nullptr, nullptr));
}

TopLevelWindow* widgetfor(HWND hwnd)
{
    return hwnd ? dynamic_cast<TopLevelWindow*>(static_cast<QWidget*>(hwnd->backendData)) : nullptr;
}

std::vector<MSG> postedmessages()
{
    std::vector<MSG> list;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT)
            DispatchMessageA(&msg);
        else
            list.push_back(msg);
    }
    return list;
}

void whenmodal(std::function<void(QWidget*)> answer)
{
    // Polls, as a file dialog may take a moment to become the modal widget.
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
}

void QtBackendTest::SetUp()
{
    resetwindowsystem();
    setbackend(&qtbackend());
    sentmessages().clear();
}

void QtBackendTest::TearDown()
{
    resetwindowsystem();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setbackend(nullptr);
}

} // namespace kt::testing
