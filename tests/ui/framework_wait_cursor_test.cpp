// The wait cursor puts the previous cursor back on every way out of its scope.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/wait_cursor.h"

namespace {

HCURSOR Arrow()
{
    return ::LoadCursorW(nullptr, IDC_ARROW);
}
HCURSOR Hourglass()
{
    return ::LoadCursorW(nullptr, IDC_WAIT);
}

int WorkWithEarlyReturn(bool early, HCURSOR& during)
{
    CWaitCursor wait;
    during = ::GetCursor();
    if (early)
        return 1;
    return 2;
}

} // namespace

TEST(FrameworkWaitCursor, ShowsTheHourglassAndRestoresThePreviousCursorOnEveryPath)
{
    const HCURSOR cross = ::LoadCursorW(nullptr, IDC_CROSS);
    ::SetCursor(cross);
    {
        CWaitCursor wait;
        EXPECT_EQ(Hourglass(), ::GetCursor());
    }
    EXPECT_EQ(cross, ::GetCursor());

    for (bool early : {true, false}) {
        ::SetCursor(Arrow());
        HCURSOR during = nullptr;
        WorkWithEarlyReturn(early, during);
        EXPECT_EQ(Hourglass(), during);
        EXPECT_EQ(Arrow(), ::GetCursor()) << "early " << early;
    }

    ::SetCursor(Arrow());
    try {
        CWaitCursor wait;
        throw std::runtime_error("unwinding");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Arrow(), ::GetCursor());
}

TEST(FrameworkWaitCursor, NestedWaitCursorsAndRestore)
{
    ::SetCursor(Arrow());
    {
        CWaitCursor outer;
        {
            CWaitCursor inner;
            EXPECT_EQ(Hourglass(), ::GetCursor());
        }
        EXPECT_EQ(Hourglass(), ::GetCursor());
        // A message box or another window may change the cursor meanwhile.
        ::SetCursor(Arrow());
        outer.Restore();
        EXPECT_EQ(Hourglass(), ::GetCursor());
    }
    EXPECT_EQ(Arrow(), ::GetCursor());
}
