#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/messagebox.h"
#include "platform/window.h"

namespace kt {
namespace {

TEST(MessageQueue, PeekFiltersByWindowAndRemovesOnRequest)
{
    Window a(10, 10), b(10, 10);
    PostMessageA(&a, WM_COMMAND, 195, 0);
    PostMessageA(&b, WM_USER, 1, 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, &b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, &a);
    EXPECT_EQ(msg.wParam, 195u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
    EXPECT_EQ(msg.lParam, 2);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Windows, EnableReportsThePreviousState)
{
    Window w(3, 2);
    EXPECT_EQ(EnableWindow(&w, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(&w));
    EXPECT_EQ(EnableWindow(&w, 1), 1);
    RECT r;
    ASSERT_TRUE(GetClientRect(&w, &r));
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 2);
    EXPECT_EQ(GetDC(nullptr), nullptr);
}

TEST(Cursors, SetCursorReturnsThePreviousOne)
{
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    SetCursor(cross);
    EXPECT_EQ(SetCursor(wait), cross);
    EXPECT_EQ(GetCursor()->shape, CursorShape::Wait);
    EXPECT_EQ(LoadCursorA(nullptr, 1), nullptr);
}

TEST(HeadlessMessageBoxes, RecordsBoxesAndAnswersAsScripted)
{
    headless::clearmessageboxes();
    EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Question", MB_YESNO | MB_ICONINFORMATION), IDYES);
    headless::scriptanswer(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Really?", "Question", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Done", "Title", MB_OK), IDOK);
    ASSERT_EQ(headless::messageboxes().size(), 3u);
    EXPECT_EQ(headless::messageboxes()[1].text, "Really?");
    EXPECT_EQ(headless::messageboxes()[0].type, MB_YESNO | MB_ICONINFORMATION);

    int seen = 0;
    setmessageboxhandler([&](const MessageBoxRequest&) { return ++seen, IDCANCEL; });
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK), IDCANCEL);
    setmessageboxhandler({});
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(headless::messageboxes().size(), 3u);
    headless::clearmessageboxes();
}

} // namespace
} // namespace kt
