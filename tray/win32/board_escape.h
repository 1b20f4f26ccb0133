// The one binding that tells the builds apart: Zenpick.exe asks the display driver, the demo
// build asks the simulated board.
#pragma once

#include "platform/escape.h"

EscapePort& BoardEscape();
