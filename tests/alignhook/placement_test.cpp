// Where maximised windows and windows about to appear across the seam are put.
#include "alignhook/placement.h"

#include <gtest/gtest.h>

namespace {

// Left area 1024 wide (the seam at x = 1024), right area 1280 wide.
AlignmentSettings Dual() {
    AlignmentSettings s;
    s.leftAdapterVisualXRes = 1024;
    s.leftAdapterVisualYRes = 768;
    s.rightAdapterVisualXRes = 1280;
    s.rightAdapterVisualYRes = 1024;
    s.controlFlags = kMaximizeAlignment | kDialogAlignment;
    s.valid = true;
    return s;
}

TEST(AlignMaximizeInfo, FillsThePointersArea) {
    const struct {
        int32_t pointerX;
        int32_t width;
        int32_t left;
    } cases[] = {
        {0, 1024, 0},       {1023, 1024, 0},    {-5, 1024, 0},  // left of the seam
        {1024, 1280, 1024}, {2000, 1280, 1024},  // at the seam counts as the right side
    };
    for (const auto& c : cases) {
        const MaximizedPlacement p = AlignMaximizeInfo(c.pointerX, Dual());
        EXPECT_EQ(p.width, c.width) << "pointer " << c.pointerX;
        EXPECT_EQ(p.left, c.left) << "pointer " << c.pointerX;
    }
}

TEST(ChooseSeamTest, FirstMatchingStyleRowWins) {
    const struct {
        uint32_t style;
        bool comboList;
        SeamTest test;
        const char* what;
    } cases[] = {
        {WS_VISIBLE_ | WS_POPUP_, false, SeamTest::kNone, "visible"},
        {WS_VISIBLE_ | WS_CHILD_, true, SeamTest::kNone, "visible drop-down list"},
        {WS_MINIMIZE_, false, SeamTest::kNone, "minimised"},
        {WS_MINIMIZE_ | WS_CHILD_, true, SeamTest::kNone, "minimised drop-down list"},
        {WS_CHILD_, true, SeamTest::kPresentRect, "drop-down list"},
        {WS_CHILD_ | WS_BORDER_, true, SeamTest::kPresentRect, "bordered drop-down list"},
        {WS_CHILD_, false, SeamTest::kNone, "other child"},
        {WS_CHILD_ | WS_POPUP_, false, SeamTest::kNone, "child bits before pop-up bits"},
        {WS_POPUP_ | WS_BORDER_, false, SeamTest::kPresentRect, "bordered pop-up"},
        {WS_POPUP_ | 0x00C00000, false, SeamTest::kPresentRect, "pop-up with caption"},
        {WS_POPUP_, false, SeamTest::kProposedPlace, "borderless pop-up"},
        {WS_POPUP_, true, SeamTest::kProposedPlace, "class counts for children only"},
        {0, false, SeamTest::kPresentRect, "overlapped"},
        {0x00CF0000, false, SeamTest::kPresentRect, "overlapped window style"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseSeamTest(c.style, c.comboList), c.test) << c.what;
}

TEST(AlignWindowPos, MovesWindowsAcrossTheSeamOntoThePointersSide) {
    constexpr uint32_t kOther = 0x0014;  // SWP_NOZORDER | SWP_NOACTIVATE, always kept
    const struct {
        const char* what;
        uint32_t style;
        Rect present;
        WindowPosChange proposed;
        int32_t pointerX;
        WindowPosChange expected;
    } cases[] = {
        // Judged by the present rectangle.
        {"across, pointer left",
         0,
         {900, 100, 1200, 400},
         {900, 100, 300, 300, kOther},
         500,
         {714, 100, 300, 300, kOther}},
        {"across, pointer right",
         0,
         {900, 100, 1200, 400},
         {900, 100, 300, 300, kOther},
         1500,
         {1034, 100, 300, 300, kOther}},
        {"pointer at the seam is right",
         0,
         {900, 100, 1200, 400},
         {900, 100, 300, 300, 0},
         1024,
         {1034, 100, 300, 300, 0}},
        {"ending exactly at the seam",
         0,
         {824, 0, 1024, 50},
         {824, 0, 200, 50, 0},
         100,
         {814, 0, 200, 50, 0}},
        {"ending before the seam",
         0,
         {823, 0, 1023, 50},
         {900, 0, 200, 50, 0},
         100,
         {900, 0, 200, 50, 0}},
        {"starting at the seam",
         0,
         {1024, 0, 1300, 50},
         {1000, 0, 276, 50, 0},
         100,
         {1000, 0, 276, 50, 0}},
        {"the proposed place does not count",
         0,
         {0, 0, 300, 300},
         {900, 0, 300, 300, 0},
         100,
         {900, 0, 300, 300, 0}},
        // Left side without SWP_NOSIZE: B - cx - 10, even below zero.
        {"wider than the left area",
         0,
         {0, 0, 1500, 300},
         {0, 0, 1500, 300, 0},
         100,
         {-486, 0, 1500, 300, 0}},
        // Left side with SWP_NOSIZE: from the present width, not below 0 before the 10.
        {"no size",
         0,
         {900, 5, 1200, 305},
         {900, 5, 0, 0, SWP_NOSIZE_},
         100,
         {714, 5, 0, 0, SWP_NOSIZE_}},
        {"no size, as wide as the left area",
         0,
         {0, 5, 1024, 305},
         {0, 5, 0, 0, SWP_NOSIZE_},
         100,
         {-10, 5, 0, 0, SWP_NOSIZE_}},
        {"no size, a pixel narrower than the left area",
         0,
         {1, 5, 1024, 305},
         {1, 5, 0, 0, SWP_NOSIZE_},
         100,
         {-9, 5, 0, 0, SWP_NOSIZE_}},
        {"no size, wider",
         0,
         {-100, 5, 1500, 305},
         {0, 5, 0, 0, SWP_NOSIZE_},
         100,
         {-10, 5, 0, 0, SWP_NOSIZE_}},
        {"no size, right side",
         0,
         {900, 5, 1200, 305},
         {0, 0, 0, 0, SWP_NOSIZE_},
         1100,
         {1034, 0, 0, 0, SWP_NOSIZE_}},
        // SWP_NOMOVE is cleared and y becomes the present top, so the window moves.
        {"no move",
         0,
         {900, 40, 1200, 340},
         {7, 9, 300, 300, SWP_NOMOVE_ | kOther},
         100,
         {714, 40, 300, 300, kOther}},
        {"no move, no size",
         0,
         {900, 40, 1200, 340},
         {7, 9, 0, 0, SWP_NOMOVE_ | SWP_NOSIZE_},
         100,
         {714, 40, 0, 0, SWP_NOSIZE_}},
        {"no move, right side",
         0,
         {900, 40, 1200, 340},
         {7, 9, 0, 0, SWP_NOMOVE_},
         2000,
         {1034, 40, 0, 0, 0}},
        {"no move, not across",
         0,
         {0, 40, 300, 340},
         {7, 9, 0, 0, SWP_NOMOVE_},
         2000,
         {7, 9, 0, 0, SWP_NOMOVE_}},
        // A borderless pop-up is judged by the proposed x and cx as they stand.
        {"pop-up proposed across",
         WS_POPUP_,
         {0, 0, 10, 10},
         {1000, 3, 24, 50, 0},
         100,
         {990, 3, 24, 50, 0}},
        {"pop-up proposed ending before",
         WS_POPUP_,
         {900, 0, 1200, 10},
         {1000, 3, 23, 50, 0},
         100,
         {1000, 3, 23, 50, 0}},
        {"pop-up, flags ignored by the test",
         WS_POPUP_,
         {0, 0, 10, 10},
         {1000, 3, 100, 50, SWP_NOSIZE_ | SWP_NOMOVE_},
         100,
         {1004, 0, 100, 50, SWP_NOSIZE_}},
        {"pop-up proposed at the seam",
         WS_POPUP_,
         {900, 0, 1200, 10},
         {1024, 3, 100, 50, 0},
         100,
         {1024, 3, 100, 50, 0}},
        {"bordered pop-up by its rectangle",
         WS_POPUP_ | WS_BORDER_,
         {900, 0, 1200, 10},
         {0, 3, 100, 50, 0},
         100,
         {914, 3, 100, 50, 0}},
        // Never moved.
        {"visible",
         WS_VISIBLE_,
         {900, 0, 1200, 10},
         {900, 0, 300, 10, 0},
         100,
         {900, 0, 300, 10, 0}},
        {"minimised",
         WS_MINIMIZE_,
         {900, 0, 1200, 10},
         {900, 0, 300, 10, 0},
         100,
         {900, 0, 300, 10, 0}},
        {"child of another class",
         WS_CHILD_,
         {900, 0, 1200, 10},
         {900, 0, 300, 10, 0},
         100,
         {900, 0, 300, 10, 0}},
    };
    for (const auto& c : cases) {
        const WindowPosChange got =
            AlignWindowPos(c.style, false, c.present, c.proposed, c.pointerX, Dual());
        EXPECT_EQ(got.x, c.expected.x) << c.what;
        EXPECT_EQ(got.y, c.expected.y) << c.what;
        EXPECT_EQ(got.cx, c.expected.cx) << c.what;
        EXPECT_EQ(got.cy, c.expected.cy) << c.what;
        EXPECT_EQ(got.flags, c.expected.flags) << c.what;
    }
}

TEST(AlignWindowPos, DropDownListsAreTheOnlyChildrenMoved) {
    const Rect list = {1000, 300, 1100, 500};
    const WindowPosChange show = {1000, 300, 100, 200, SWP_NOMOVE_ | SWP_NOSIZE_};
    const WindowPosChange moved = AlignWindowPos(WS_CHILD_, true, list, show, 1500, Dual());
    EXPECT_EQ(moved.x, 1034);
    EXPECT_EQ(moved.y, 300);
    EXPECT_EQ(moved.flags, SWP_NOSIZE_);
    const WindowPosChange kept = AlignWindowPos(WS_CHILD_, false, list, show, 1500, Dual());
    EXPECT_EQ(kept.x, 1000);
    EXPECT_EQ(kept.flags, SWP_NOMOVE_ | SWP_NOSIZE_);
}

TEST(AlignWindowPos, ExtremeSizesWrapInsteadOfOverflowing) {
    AlignmentSettings s = Dual();
    s.leftAdapterVisualXRes = INT32_MAX;
    const WindowPosChange got =
        AlignWindowPos(0, false, {0, 0, INT32_MAX, 1}, {0, 0, INT32_MIN, 1, 0}, 0, s);
    EXPECT_EQ(got.x, static_cast<int32_t>(0xFFFFFFF5u));  // wrapped, as 32-bit arithmetic does
    s.leftAdapterVisualXRes = INT32_MIN + 5;
    const WindowPosChange wide =
        AlignWindowPos(0, false, {INT32_MIN, 0, INT32_MAX, 1}, {0, 0, 1, 1, 0}, INT32_MAX, s);
    EXPECT_EQ(wide.x, INT32_MIN + 15);
}

TEST(IsComboListClass, ComparesTheWholeNameWithoutCase) {
    EXPECT_TRUE(IsComboListClass(u"ComboLBox"));
    EXPECT_TRUE(IsComboListClass(u"combolbox"));
    EXPECT_TRUE(IsComboListClass(u"COMBOLBOX"));
    EXPECT_FALSE(IsComboListClass(u"ComboLBo"));
    EXPECT_FALSE(IsComboListClass(u"ComboLBox2"));
    EXPECT_FALSE(IsComboListClass(u"ComboBox"));
    EXPECT_FALSE(IsComboListClass(u""));
    EXPECT_FALSE(IsComboListClass(u"C\u00d6mboLBox"));
}

}  // namespace
