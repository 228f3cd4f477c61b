#include "framework/Wnd.h"

#include <gtest/gtest.h>

// A control attached without subclassing keeps its own procedure and is not
// found by FromHandle: nothing of the object stays with the window.
TEST(Wnd, AttachingWithoutSubclassingLeavesTheWindowAsItWas) {
    HWND window = CreateWindowW(L"Static", L"text", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(window);
    const LONG_PTR proc = GetWindowLongPtrW(window, GWLP_WNDPROC);
    {
        fw::CWnd attached;
        EXPECT_FALSE(attached.AttachWithoutSubclassing(nullptr));
        ASSERT_TRUE(attached.AttachWithoutSubclassing(window));
        EXPECT_FALSE(attached.AttachWithoutSubclassing(window));  // attached already
        EXPECT_EQ(attached.GetSafeHwnd(), window);
        EXPECT_EQ(attached.GetWindowText(), L"text");
        EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), proc);
        EXPECT_EQ(fw::CWnd::FromHandle(window), nullptr);
        // A window so attached can still be subclassed by an object of its own.
        fw::CWnd subclassed;
        ASSERT_TRUE(subclassed.SubclassWindow(window));
        EXPECT_EQ(fw::CWnd::FromHandle(window), &subclassed);
        subclassed.UnsubclassWindow();
        attached.Detach();
        EXPECT_EQ(attached.GetSafeHwnd(), nullptr);
        EXPECT_TRUE(attached.AttachWithoutSubclassing(window));
    }  // the object goes first, the window stays as it was
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), proc);
    EXPECT_EQ(fw::CWnd::FromHandle(window), nullptr);
    DestroyWindow(window);
}
