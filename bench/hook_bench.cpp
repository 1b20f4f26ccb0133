// What the alignment hook costs inside the processes it is loaded into, measured under Wine on
// the real calls: its procedure on a message it only passes on, against a procedure that does
// nothing but pass the message on (the two interleaved in one run, best round of each), and one
// WM_WINDOWPOSCHANGING and one WM_GETMINMAXINFO with their settings read, with the registry
// calls of each counted. The registry must hold a dual setup (bench/run_hook_bench.py seeds it).
#include <windows.h>

#include <cstdio>

#include "platform/win32/win32_registry.h"

extern "C" LRESULT CALLBACK AlignmentHookCallback(int code, WPARAM wParam, LPARAM lParam);
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID);

namespace {

// The real registry, every call counted.
class CountingRegistry final : public RegistryReaderW {
  public:
    uint32_t calls = 0;
    int32_t CloseKey(RegKey k) override { return ++calls, real_.CloseKey(k); }
    int32_t OpenKeyW(RegKey p, const char16_t* path, RegKey* out) override {
        return ++calls, real_.OpenKeyW(p, path, out);
    }
    int32_t OpenKeyExW(RegKey p, const char16_t* path, uint32_t a, RegKey* out) override {
        return ++calls, real_.OpenKeyExW(p, path, a, out);
    }
    int32_t QueryValueW(RegKey k, const char16_t* n, uint32_t* t, uint8_t* d,
                        uint32_t* s) override {
        return ++calls, real_.QueryValueW(k, n, t, d, s);
    }

  private:
    Win32RegistryW real_;
};

CountingRegistry g_registry;

extern "C" __attribute__((noinline)) LRESULT CALLBACK PlainPassOn(int code, WPARAM wParam,
                                                                  LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

// Seconds per call of `proc` with `cwp`, over `n` calls.
double PerCall(HOOKPROC proc, CWPSTRUCT* cwp, int n) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    for (int i = 0; i < n; ++i)
        proc(HC_ACTION, TRUE, reinterpret_cast<LPARAM>(cwp));
    QueryPerformanceCounter(&b);
    return Seconds(a, b) / n;
}

}  // namespace

RegistryReaderW& HookRegistry() {
    return g_registry;
}

int main() {
    if (!DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr)) {
        std::printf("the shared block could not be made\n");
        return 1;
    }
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 900, 100, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetCursorPos(1500, 300);
    g_registry.calls = 0;  // the attach's own settings read is not counted

    // A message the hook only passes on.
    CWPSTRUCT paint = {0, 0, WM_PAINT, window};
    const int kPassCalls = 200000;
    double plain = 1e9, hook = 1e9;
    for (int round = 0; round < 7; ++round) {
        double p = PerCall(PlainPassOn, &paint, kPassCalls);
        double h = PerCall(AlignmentHookCallback, &paint, kPassCalls);
        plain = p < plain ? p : plain;
        hook = h < hook ? h : hook;
    }
    const uint32_t passCalls = g_registry.calls;
    std::printf(
        "pass-through (WM_PAINT): hook %.1f ns, plain pass-on %.1f ns, ratio %.3f, "
        "registry calls %u\n",
        hook * 1e9, plain * 1e9, hook / plain, passCalls);

    // The two messages that read the settings.
    const int kReadCalls = 2000;
    WINDOWPOS pos = {window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE};
    CWPSTRUCT changing = {reinterpret_cast<LPARAM>(&pos), 0, WM_WINDOWPOSCHANGING, window};
    g_registry.calls = 0;
    const double posTime = PerCall(AlignmentHookCallback, &changing, kReadCalls);
    const double posCalls = double(g_registry.calls) / kReadCalls;
    std::printf("WM_WINDOWPOSCHANGING: %.1f us, %.1f registry calls per message (moved to x=%d)\n",
                posTime * 1e6, posCalls, pos.x);

    MINMAXINFO info = {};
    CWPSTRUCT minmax = {reinterpret_cast<LPARAM>(&info), 0, WM_GETMINMAXINFO, window};
    g_registry.calls = 0;
    const double infoTime = PerCall(AlignmentHookCallback, &minmax, kReadCalls);
    std::printf("WM_GETMINMAXINFO: %.1f us, %.1f registry calls per message (maximised at x=%ld)\n",
                infoTime * 1e6, double(g_registry.calls) / kReadCalls, info.ptMaxPosition.x);

    DestroyWindow(window);
    DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
    return 0;
}
