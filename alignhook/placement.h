// Where the alignment hook puts a window on a desktop of two display areas side by side: the
// left area from x = 0, `leftAdapterVisualXRes` pixels wide, the right one from there on. The
// seam is at x = leftAdapterVisualXRes; a pointer at the seam is on the right side.
#pragma once

#include <cstdint>

#include "platform/display.h"

// Bits of the alignment settings' control flags ("TwinControlFlag").
constexpr uint32_t kMaximizeAlignment = 1;  // a maximised window fills the pointer's area
constexpr uint32_t kDialogAlignment = 2;    // a window about to appear across the seam is moved
constexpr uint32_t kAlignmentFlagsMask = kMaximizeAlignment | kDialogAlignment;

// Distance kept between a moved window and the seam.
constexpr int32_t kSeamClearance = 10;

constexpr uint32_t WS_BORDER_ = 0x00800000;
constexpr uint32_t WS_SYSMENU_ = 0x00080000;
constexpr uint32_t WS_VISIBLE_ = 0x10000000;
constexpr uint32_t WS_MINIMIZE_ = 0x20000000;
constexpr uint32_t WS_CHILD_ = 0x40000000;
constexpr uint32_t WS_POPUP_ = 0x80000000;

constexpr uint32_t SWP_NOSIZE_ = 0x0001;
constexpr uint32_t SWP_NOMOVE_ = 0x0002;

// The class of a combo box's drop-down list.
constexpr char16_t kComboListClass[] = u"ComboLBox";

struct AlignmentSettings {
    int32_t leftAdapterVisualXRes = 0;  // width of the left area, and the seam's x
    int32_t leftAdapterVisualYRes = 0;
    int32_t rightAdapterVisualXRes = 0;
    int32_t rightAdapterVisualYRes = 0;
    uint32_t controlFlags = 0;  // kMaximizeAlignment | kDialogAlignment, nothing else
    bool valid = false;         // the last read found all four sizes
};

// A maximised window's width and left edge (the x members of MINMAXINFO's maximised size and
// position).
struct MaximizedPlacement {
    int32_t width;
    int32_t left;
};
MaximizedPlacement AlignMaximizeInfo(int32_t pointerX, const AlignmentSettings& settings);

// The proposed change of a window's place (WINDOWPOS without its window handles).
struct WindowPosChange {
    int32_t x;
    int32_t y;
    int32_t cx;
    int32_t cy;
    uint32_t flags;  // SWP_NOSIZE_, SWP_NOMOVE_ and others, kept
};

// How a window is found to lie across the seam.
enum class SeamTest {
    kNone,          // never moved
    kPresentRect,   // its screen rectangle now
    kProposedPlace  // the proposed x and cx
};
SeamTest ChooseSeamTest(uint32_t style, bool comboList);

// The change as it should be made: unaltered unless the window, judged by ChooseSeamTest,
// would lie across the seam; then moved horizontally wholly onto the pointer's side.
// `style` and `present` are the window's style and screen rectangle before the change.
WindowPosChange AlignWindowPos(uint32_t style, bool comboList, const Rect& present,
                               const WindowPosChange& proposed, int32_t pointerX,
                               const AlignmentSettings& settings);

// Whether a class name is the combo drop-down list's, compared without case. The name must be
// terminated.
bool IsComboListClass(const char16_t* name);
