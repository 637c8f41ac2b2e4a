#include "frontends/win32/Win32Sleeper.hpp"

namespace quillon::win32 {

void Win32Sleeper::SleepMs(std::uint32_t durationMs) {
    if (!host_.OnUiThread()) {
        Sleep(durationMs);
        return;
    }
    const ULONGLONG end = GetTickCount64() + durationMs;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now),
                                    QS_POSTMESSAGE | QS_PAINT | QS_SENDMESSAGE | QS_TIMER, 0);
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0,
                            PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE) !=
               FALSE) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace quillon::win32
