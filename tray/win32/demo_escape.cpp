// The demo build: the simulated board answers escapes 100 and 110 in place of the display
// driver. A video optimisation setting it takes is written to "ValidVideoModes", as the driver
// does.
#include <cstring>

#include "adapter/discovery.h"
#include "adapter/registry_layout.h"
#include "platform/sim/sim_board.h"
#include "platform/win32/win32_registry.h"
#include "tray/win32/board_escape.h"

namespace {

class DemoEscape final : public EscapePort {
  public:
    int32_t Escape(ScreenDc, uint32_t code, uint32_t* words, uint32_t bytes) override {
        const uint32_t before = board_.validVideoModes;
        const ScreenDc dc = board_.GetScreenDc();
        const int32_t answer = board_.Escape(dc, code, words, bytes);
        board_.ReleaseScreenDc(dc);
        if (board_.validVideoModes != before)
            WriteValidVideoModes(board_.validVideoModes);
        return answer;
    }

  private:
    void WriteValidVideoModes(uint32_t value) {
        RegKey key = 0;
        if (!OpenTraySettingsKey(registry_, SettingsKeyPath::kServiceDevice0, &key))
            return;
        uint8_t bytes[4];
        std::memcpy(bytes, &value, sizeof(bytes));
        registry_.SetValue(key, kValidVideoModes, REG_BINARY_, bytes, sizeof(bytes));
        registry_.CloseKey(key);
    }

    SimBoard board_;
    Win32RegistryWriter registry_;
};

}  // namespace

EscapePort& BoardEscape() {
    static DemoEscape escape;
    return escape;
}
