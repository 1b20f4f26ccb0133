// The window port in memory: message boxes are recorded and answered.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/windows.h"

class SimWindows final : public WindowPort {
  public:
    struct Box {
        WindowHandle owner;
        std::string text;
        std::string caption;
        uint32_t flags;
    };
    std::vector<Box> boxes;
    int32_t answer = 1;  // IDOK

    int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                           uint32_t flags) override {
        boxes.push_back({owner, text, caption, flags});
        return answer;
    }
};
