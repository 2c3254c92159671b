#include <gtest/gtest.h>

#include "platform/backend.h"
#include "platform/dialog.h"
#include "support/platform/scriptedbackend.h"
#include "support/platform/platformreset.h"
#include "support/platform/testwindow.h"

namespace kt {
namespace {

class WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override { testing::resetplatform(); }
    void TearDown() override { testing::resetplatform(); }
};

TEST_F(WindowSystemTest, PeekFiltersByWindowAndRemovesOnRequest)
{
    HWND a = testing::maketestwindow(10, 10), b = testing::maketestwindow(10, 10);
    PostMessageA(a, WM_COMMAND, 195, 0);
    PostMessageA(b, WM_USER, 1, 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);
    EXPECT_EQ(msg.wParam, 195u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(msg.lParam, 2);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowSystemTest, EnableReportsThePreviousStateAndDisabledWindowsTakeNoInput)
{
    HWND w = testing::maketestwindow(3, 2);
    EXPECT_EQ(EnableWindow(w, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(w));
    deliverclick(w, true, 1, 1);
    deliverkey(w, 'R', 0, U'r');
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(EnableWindow(w, 1), 1);
    RECT r;
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 2);
    EXPECT_EQ(GetDC(nullptr), nullptr);
}

TEST_F(WindowSystemTest, CursorsAndTheirDisplayCount)
{
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    SetCursor(cross);
    EXPECT_EQ(SetCursor(wait), cross);
    EXPECT_EQ(GetCursor()->shape, CursorShape::Wait);
    EXPECT_EQ(LoadCursorA(nullptr, 1), nullptr);
    EXPECT_EQ(ShowCursor(0), -1);
    EXPECT_EQ(ShowCursor(1), 0);
}

TEST_F(WindowSystemTest, HeadlessMessageBoxesAreRecordedAndAnsweredAsScripted)
{
    EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Question", MB_YESNO | MB_ICONINFORMATION), IDYES);
    headless().answers.push_back(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Really?", "Question", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "Title", MB_OK), IDOK);
    ASSERT_EQ(headless().messageboxes.size(), 3u);
    EXPECT_EQ(headless().messageboxes[1].text, "Really?");
    EXPECT_EQ(headless().messageboxes[0].type, MB_YESNO | MB_ICONINFORMATION);
}

LRESULT paintcounter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    static int* counter = nullptr;
    if (message == WM_USER) {
        counter = reinterpret_cast<int*>(lParam);
        return 0;
    }
    if (message == WM_PAINT && counter) {
        ++*counter;
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(WindowSystemTest, PaintIsSynthesisedOnceWhenNothingElseWaits)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = paintcounter;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "Painted";
    ASSERT_TRUE(RegisterClassA(&wc));
    EXPECT_FALSE(RegisterClassA(&wc)) << "a class registers once";
    HWND w = CreateWindowExA(0, "Painted", "", 0, 0, 0, 4, 4, nullptr, nullptr, nullptr, nullptr);
    int paints = 0;
    SendMessageA(w, WM_USER, 0, reinterpret_cast<LPARAM>(&paints));
    ShowWindow(w, SW_SHOW);
    PostMessageA(w, WM_USER + 1, 0, 0);

    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_USER + 1u) << "posted messages come before painting";
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessageA(&msg);
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(w->client.getpixel(3, 3), RGB(255, 255, 255)) << "the background was erased";
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    SendMessageA(w, WM_USER, 0, 0);
}

TEST_F(WindowSystemTest, GetMessageReturnsZeroForQuitAndWaitsForScriptedInput)
{
    HWND w = testing::maketestwindow(5, 5);
    headless().input([w] { PostMessageA(w, WM_USER, 7, 0); });
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 7u);
    PostQuitMessage(3);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0)) << "with the script done, the wait ends the loop";
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(ScriptedBackend::scriptexhausted));
}

TEST_F(WindowSystemTest, DestroyedWindowsLoseTheirMessagesAndPopups)
{
    HWND owner = testing::maketestwindow(5, 5);
    HWND popup = CreateWindowExA(0, "KTTestWindow", "", WS_POPUP, 0, 0, 2, 2, owner, nullptr, nullptr, nullptr);
    PostMessageA(owner, WM_USER, 0, 0);
    PostMessageA(popup, WM_USER, 0, 0);
    EXPECT_TRUE(DestroyWindow(owner));
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_FALSE(IsWindow(popup));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(PostMessageA(owner, WM_USER, 0, 0));
}

// What a procedure found in its window's data while the window lived.
HWND keeper = nullptr;
LONG_PTR kept = 0;

LRESULT keepingwindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        keeper = hwnd;
        kept = GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

INT_PTR keepingdialog(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
    keeper = dialog;
    kept = GetWindowLongPtrA(dialog, GWLP_USERDATA);
    EndDialog(dialog, 1);
    return 1;
}

TEST_F(WindowSystemTest, AWindowKeepsItsOwnDataUntilItGoes)
{
    struct Case {
        const char* name;
        // Makes a window that keeps `data`, owned by `owner`, and destroys it.
        void (*keep)(HWND owner, LONG_PTR data);
    };
    const Case cases[] = {
        {"a window, from its creation",
         [](HWND owner, LONG_PTR data) {
             WNDCLASSA wc{};
             wc.lpfnWndProc = keepingwindow;
             wc.lpszClassName = "KTKeepingWindow";
             RegisterClassA(&wc);
             HWND made = CreateWindowExA(0, "KTKeepingWindow", "", WS_POPUP, 0, 0, 2, 2, owner, nullptr, nullptr,
                                         reinterpret_cast<void*>(data));
             DestroyWindow(made);
         }},
        {"a dialog, from its opening",
         [](HWND owner, LONG_PTR data) {
             const DialogTemplate dialog{1, "keeping", 10, 10, {}};
             DialogBoxParamA(nullptr, &dialog, owner, keepingdialog, data);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keeper = nullptr;
        kept = 0;
        HWND owner = testing::maketestwindow(5, 5);
        EXPECT_EQ(SetWindowLongPtrA(owner, GWLP_USERDATA, 7), 0) << "a window starts with none";
        c.keep(owner, 42);
        EXPECT_EQ(kept, 42);
        EXPECT_EQ(GetWindowLongPtrA(owner, GWLP_USERDATA), 7) << "each window has its own";
        EXPECT_EQ(GetWindowLongPtrA(owner, 0), 0) << "only GWLP_USERDATA is kept";
        ASSERT_NE(keeper, nullptr);
        EXPECT_FALSE(IsWindow(keeper));
        EXPECT_EQ(GetWindowLongPtrA(keeper, GWLP_USERDATA), 0) << "gone with the window";
        EXPECT_EQ(SetWindowLongPtrA(keeper, GWLP_USERDATA, 1), 0);
        DestroyWindow(owner);
    }
}

TEST_F(WindowSystemTest, ClassAndWindowFailuresCanBeInjected)
{
    injectclassfailure("Broken");
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Broken";
    EXPECT_FALSE(RegisterClassA(&wc));
    testing::maketestwindow(1, 1);
    injectwindowfailure("KTTestWindow");
    EXPECT_EQ(CreateWindowExA(0, "KTTestWindow", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowSystemTest, WindowBlitsMirrorLazilyAndShowTheSourceWhenRead)
{
    HWND w = testing::maketestwindow(4, 4);
    Surface image(8, 8);
    image.fill(RECT{0, 0, 8, 8}, RGB(1, 2, 3));
    BitBlt(GetDC(w), 0, 0, 1024, 768, &image, 2, 2, SRCCOPY);
    image.setpixel(2, 2, RGB(9, 9, 9)); // after the copy was asked for
    EXPECT_EQ(w->client.getpixel(0, 0), RGB(9, 9, 9)) << "a mirror shows the source as it is when looked at";
    EXPECT_EQ(w->client.getpixel(3, 3), RGB(1, 2, 3));

    BitBlt(GetDC(w), 0, 0, 4, 4, &image, 0, 0, SRCCOPY);
    RECT corner{0, 0, 1, 1};
    FillRect(GetDC(w), &corner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    image.setpixel(1, 1, RGB(7, 7, 7));
    EXPECT_EQ(w->client.getpixel(0, 0), RGB(255, 255, 255)) << "drawing on the window settles the mirror first";
    EXPECT_EQ(w->client.getpixel(1, 1), RGB(1, 2, 3));

    {
        Surface gone(4, 4);
        gone.fill(RECT{0, 0, 4, 4}, RGB(5, 5, 5));
        BitBlt(GetDC(w), 0, 0, 4, 4, &gone, 0, 0, SRCCOPY);
    }
    EXPECT_EQ(w->client.getpixel(2, 2), RGB(5, 5, 5)) << "a source going away leaves its copy behind";
}

} // namespace
} // namespace kt
