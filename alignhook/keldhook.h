// What Keldhook.dll exports: the start and stop of the system-wide alignment hook.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Both return 1, whatever the hook installation or removal gave.
__declspec(dllimport) int StartHooking(void);
__declspec(dllimport) int StopHooking(void);

#ifdef __cplusplus
}
#endif
