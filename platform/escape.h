// Driver escape port: ExtEscape on a device context of the whole screen.
#pragma once

#include <cstdint>

#include "platform/display.h"

class EscapePort {
  public:
    // ExtEscape(dc, code, bytes, words, bytes, words): one buffer of 32-bit little-endian words
    // serves as input and output. Returns ExtEscape's result when the driver answered (above 0),
    // else 0: an escape the driver does not know, and a call that failed (below 0 from ExtEscape).
    virtual int32_t Escape(ScreenDc dc, uint32_t code, uint32_t* words, uint32_t bytes) = 0;

  protected:
    ~EscapePort() = default;
};
