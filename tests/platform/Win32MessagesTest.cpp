#include "LogCapture.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plat;

namespace
{
std::vector<MSG> g_seen;

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    g_seen.push_back(m);
    return DefWindowProcW(window, message, wParam, lParam) + 7;
}

HWND FakeWindow()
{
    static char w;
    return reinterpret_cast<HWND>(&w);
}

class Win32MessagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        headless::Reset();
        g_seen.clear();
        SetWindowProc(FakeWindow(), &RecordingProc);
    }
    void TearDown() override
    {
        SetWindowProc(FakeWindow(), nullptr);
        headless::Reset();
    }
};
} // namespace

TEST_F(Win32MessagesTest, PeekWithoutRemovalLeavesTheMessageAndRemovalTakesThemInOrder)
{
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    PostMessageW(FakeWindow(), WM_KEYDOWN, VK_F1, 1);
    PostMessageW(FakeWindow(), WM_KEYUP, VK_F1, 2);

    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_KEYDOWN) << "PM_NOREMOVE must leave the message queued";

    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, FakeWindow());
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, VK_F1);
    EXPECT_EQ(msg.lParam, 1);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_KEYUP);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Win32MessagesTest, QuitComesOnceAndOnlyAfterEverythingElse)
{
    PostMessageW(FakeWindow(), WM_KEYDOWN, 'A', 0);
    PostQuitMessage(5);
    PostMessageW(FakeWindow(), WM_KEYUP, 'A', 0);

    int code = -1;
    EXPECT_TRUE(IsQuitPosted(&code)) << "asked for, behind the other messages";
    EXPECT_EQ(code, 5);

    std::vector<UINT> order;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        order.push_back(msg.message);
        if (msg.message == WM_QUIT)
        {
            EXPECT_EQ(msg.wParam, 5u);
            EXPECT_EQ(msg.hwnd, nullptr);
        }
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_QUIT}));
    EXPECT_FALSE(IsQuitPosted()) << "taken off the queue";

    PostQuitMessage(0);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "peeking without removal keeps the quit";
    EXPECT_TRUE(IsQuitPosted());
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    PostQuitMessage(1);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE))
        << "no filter holds back the quit";
    EXPECT_EQ(msg.message, WM_QUIT);
}

TEST_F(Win32MessagesTest, FiltersLeaveOtherMessagesQueued)
{
    PostMessageW(FakeWindow(), WM_KEYDOWN, 'A', 0);
    PostMessageW(FakeWindow(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    PostMessageW(nullptr, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_MBUTTONDBLCLK, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    EXPECT_EQ(GET_X_LPARAM(msg.lParam), 3);
    EXPECT_EQ(GET_Y_LPARAM(msg.lParam), 4);
    EXPECT_FALSE(PeekMessageW(&msg, FakeWindow(), WM_USER, WM_USER, PM_REMOVE))
        << "a thread message is not a message of the window";
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
}

TEST_F(Win32MessagesTest, DispatchCallsTheWindowProcedureAndSkipsThreadMessages)
{
    EXPECT_EQ(TranslateAcceleratorW(FakeWindow(), nullptr, nullptr), 0);
    MSG msg;
    msg.hwnd = FakeWindow();
    msg.message = WM_LBUTTONDOWN;
    msg.wParam = MK_LBUTTON;
    msg.lParam = MAKELPARAM(10, 20);
    EXPECT_EQ(TranslateMessage(&msg), 0);
    EXPECT_EQ(DispatchMessageW(&msg), 7);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(g_seen[0].wParam, MK_LBUTTON);
    EXPECT_EQ(g_seen[0].lParam, MAKELPARAM(10, 20));

    msg.hwnd = nullptr;
    EXPECT_EQ(DispatchMessageW(&msg), 0);
    EXPECT_EQ(g_seen.size(), 1u);
}

TEST_F(Win32MessagesTest, DefaultHandlingOfCloseDestroysTheWindow)
{
    SendMessageW(FakeWindow(), WM_CLOSE, 0, 0);
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].message, WM_CLOSE);
    EXPECT_EQ(g_seen[1].message, WM_DESTROY);
    EXPECT_EQ(DefWindowProcW(FakeWindow(), WM_SYSKEYDOWN, VK_F4, 0), 0);
}

TEST_F(Win32MessagesTest, InjectedMessagesReachTheFrameDriversMessageProcedure)
{
    static std::vector<UINT> seen;
    seen.clear();
    DXUTSetCallbackMsgProc(
        [](HWND, UINT message, WPARAM, LPARAM, bool*, void*) -> LRESULT
        {
            seen.push_back(message);
            if (message == WM_DESTROY)
                PostQuitMessage(0);
            return 0;
        });
    DXUTInit(false, false, false, true);
    ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600)));
    headless::InjectMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 2));
    headless::InjectMessage(WM_DESTROY);
    headless::InjectMessage(WM_KEYDOWN, VK_F1);
    MSG msg;
    msg.message = WM_NULL;
    while (msg.message != WM_QUIT)
    {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            EXPECT_EQ(msg.message == WM_QUIT ? DXUTGetHWND() : msg.hwnd, DXUTGetHWND());
            DispatchMessageW(&msg);
        }
        else
            FAIL() << "the quit was lost";
    }
    EXPECT_EQ(seen, (std::vector<UINT>{WM_MOUSEMOVE, WM_DESTROY, WM_KEYDOWN}));
}

TEST_F(Win32MessagesTest, CursorHidesForANullCursorOrANegativeShowCount)
{
    EXPECT_TRUE(headless::IsCursorVisible());
    HCURSOR previous = SetCursor(nullptr);
    EXPECT_NE(previous, nullptr);
    EXPECT_FALSE(headless::IsCursorVisible());
    EXPECT_EQ(SetCursor(previous), nullptr);
    EXPECT_TRUE(headless::IsCursorVisible());

    EXPECT_EQ(ShowCursor(0), -1);
    EXPECT_FALSE(headless::IsCursorVisible());
    EXPECT_EQ(ShowCursor(1), 0);
    EXPECT_TRUE(headless::IsCursorVisible());
}

TEST_F(Win32MessagesTest, MessageBoxAlwaysWritesOneLineToTheLog)
{
    testsupport::LogCapture logged;
    EXPECT_EQ(MessageBoxW(nullptr, L"Failed To Create D3D Device!\nPlease Check.", L"Error", MB_OK), IDOK);
    EXPECT_EQ(logged.Lines(),
              std::vector<std::string>{"MessageBoxW: Error: Failed To Create D3D Device! Please Check."});
}
