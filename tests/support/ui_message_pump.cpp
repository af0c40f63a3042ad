#include "tests/support/ui_message_pump.h"

void PumpFor(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < milliseconds) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(1);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs)
{
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > limitMs)
            return false;
        PumpFor(1);
    }
    return true;
}
