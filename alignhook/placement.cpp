#include "alignhook/placement.h"

namespace {

// 32-bit arithmetic that wraps as the processor's does, whatever the registry holds.
int32_t Wrap(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

char16_t Fold(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

}  // namespace

MaximizedPlacement AlignMaximizeInfo(int32_t pointerX, const AlignmentSettings& settings) {
    const int32_t seam = settings.leftAdapterVisualXRes;
    if (pointerX < seam)
        return {seam, 0};
    return {settings.rightAdapterVisualXRes, seam};
}

SeamTest ChooseSeamTest(uint32_t style, bool comboList) {
    if (style & (WS_VISIBLE_ | WS_MINIMIZE_))
        return SeamTest::kNone;
    if (style & WS_CHILD_)
        return comboList ? SeamTest::kPresentRect : SeamTest::kNone;
    if (style & WS_POPUP_)
        return (style & WS_BORDER_) ? SeamTest::kPresentRect : SeamTest::kProposedPlace;
    return SeamTest::kPresentRect;
}

WindowPosChange AlignWindowPos(uint32_t style, bool comboList, const Rect& present,
                               const WindowPosChange& proposed, int32_t pointerX,
                               const AlignmentSettings& settings) {
    const int64_t seam = settings.leftAdapterVisualXRes;
    bool across = false;
    switch (ChooseSeamTest(style, comboList)) {
        case SeamTest::kNone:
            break;
        case SeamTest::kPresentRect:
            across = present.left < seam && present.right >= seam;
            break;
        case SeamTest::kProposedPlace:
            across = proposed.x < seam && int64_t{proposed.x} + proposed.cx >= seam;
            break;
    }
    if (!across)
        return proposed;

    WindowPosChange change = proposed;
    if (change.flags & SWP_NOMOVE_) {
        // Make the change move the window, horizontally only.
        change.flags &= ~SWP_NOMOVE_;
        change.y = present.top;
    }
    if (pointerX < seam) {
        if (change.flags & SWP_NOSIZE_) {
            int32_t x = Wrap(seam - (int64_t{present.right} - present.left));
            if (x <= 0)
                x = 0;
            change.x = Wrap(int64_t{x} - kSeamClearance);
        } else {
            change.x = Wrap(seam - proposed.cx - kSeamClearance);
        }
    } else {
        change.x = Wrap(seam + kSeamClearance);
    }
    return change;
}

bool IsComboListClass(const char16_t* name) {
    size_t i = 0;
    for (; kComboListClass[i]; ++i) {
        if (Fold(name[i]) != Fold(kComboListClass[i]))
            return false;
    }
    return name[i] == 0;
}
