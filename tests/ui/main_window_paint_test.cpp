// The warning icon beside the run-as-administrator notice, painted by the real main window, and
// the life of that icon when the scaled load is missing (the system's shared icon, never to be
// destroyed) or fails (nothing drawn).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/optional_apis.h"
#include "res/resource.h"
#include "tests/support/seam_recorder.h"
#include "tests/support/ui_message_pump.h"
#include "tests/ui/main_window_harness.h"

using namespace main_window_test;

namespace {

// Counts the icons this program destroys, by taking the place of DestroyIcon in its import table:
// Wine keeps a shared icon alive whatever DestroyIcon is asked, so only the call itself shows a
// shared icon being destroyed.
class DestroyIconSpy {
public:
    DestroyIconSpy() { m_slot = FindSlot(); if (m_slot) Swap(reinterpret_cast<void*>(&Counting)); }
    ~DestroyIconSpy() { if (m_slot) Swap(reinterpret_cast<void*>(s_real)); s_destroyed.clear(); }
    DestroyIconSpy(const DestroyIconSpy&) = delete;
    DestroyIconSpy& operator=(const DestroyIconSpy&) = delete;

    bool Installed() const { return m_slot != nullptr; }
    static bool WasDestroyed(HICON icon)
    {
        for (HICON destroyed : s_destroyed) {
            if (destroyed == icon)
                return true;
        }
        return false;
    }

private:
    using DestroyIconFn = BOOL(WINAPI*)(HICON);

    static BOOL WINAPI Counting(HICON icon)
    {
        s_destroyed.push_back(icon);
        return s_real(icon);
    }

    void** FindSlot()
    {
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        s_real = reinterpret_cast<DestroyIconFn>(reinterpret_cast<void*>(::GetProcAddress(user32, "DestroyIcon")));
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             imports.VirtualAddress && entry->Name; ++entry) {
            for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk); thunk->u1.Function;
                 ++thunk) {
                if (reinterpret_cast<void*>(thunk->u1.Function) == reinterpret_cast<void*>(s_real))
                    return reinterpret_cast<void**>(&thunk->u1.Function);
            }
        }
        return nullptr;
    }
    void Swap(void* function)
    {
        DWORD old = 0;
        ::VirtualProtect(m_slot, sizeof(void*), PAGE_READWRITE, &old);
        *m_slot = function;
        ::VirtualProtect(m_slot, sizeof(void*), old, &old);
    }

    void** m_slot = nullptr;
    static DestroyIconFn s_real;
    static std::vector<HICON> s_destroyed;
};
DestroyIconSpy::DestroyIconFn DestroyIconSpy::s_real = nullptr;
std::vector<HICON> DestroyIconSpy::s_destroyed;

HRESULT WINAPI FailingScaledLoad(HINSTANCE, PCWSTR, int, int, HICON* icon)
{
    *icon = nullptr;
    return E_FAIL;
}

// Pixels of the icon's place that are not the dialog's face colour, as the window shows them.
int DrawnPixels(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(50);
    RECT place = {};
    ::GetWindowRect(::GetDlgItem(window, IDC_STATIC_WARNING_PLACE), &place);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    const HDC dc = ::GetDC(window);
    int drawn = 0;
    for (int y = place.top; y < place.bottom; ++y) {
        for (int x = place.left; x < place.right; ++x) {
            const COLORREF pixel = ::GetPixel(dc, x, y);
            if (pixel != CLR_INVALID && pixel != face)
                ++drawn;
        }
    }
    ::ReleaseDC(window, dc);
    return drawn;
}

} // namespace

TEST_F(MainWindowTest, TheWarningIconIsPaintedOnlyWithoutSaveRightsAndTheSharedOneOutlivesTheWindow)
{
    struct Case {
        const char* what;
        bool canSave;
        LoadIconWithScaleDownFn scaledLoad;  // nullptr: the system has none, the shared icon is used
        bool iconDrawn;
    };
    const LoadIconWithScaleDownFn realScaledLoad = g_pfnLoadIconWithScaleDown;
    ASSERT_NE(nullptr, realScaledLoad) << "the system offers the scaled load";
    const Case cases[] = {
        {"may save", true, realScaledLoad, false},
        {"no rights, scaled icon", false, realScaledLoad, true},
        {"no rights, shared icon", false, nullptr, true},
        {"no rights, scaled load fails", false, FailingScaledLoad, false},
    };
    const int width = ::GetSystemMetrics(SM_CXSMICON);
    const int height = ::GetSystemMetrics(SM_CYSMICON);
    const HICON shared =
        static_cast<HICON>(::LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, width, height, LR_SHARED));
    ASSERT_NE(nullptr, shared);
    const DestroyIconSpy spy;
    ASSERT_TRUE(spy.Installed());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_pfnLoadIconWithScaleDown = c.scaledLoad;
        {
            SeamRecorder seam;
            if (!c.canSave)
                seam.FailCall("RegOpenKeyExW", 0, ERROR_ACCESS_DENIED);
            CMainWindowProbe window;
            window.steps = {[&](CMainWindowProbe& w) {
                ASSERT_EQ(w.CanSave(), c.canSave);
                const int drawn = DrawnPixels(w.m_hWnd);
                if (c.iconDrawn)
                    EXPECT_GT(drawn, width * height / 4);
                else
                    EXPECT_EQ(drawn, 0);
            }};
            EXPECT_EQ(window.Run(), PROBE_FINISHED);
        }
        g_pfnLoadIconWithScaleDown = realScaledLoad;
        EXPECT_FALSE(DestroyIconSpy::WasDestroyed(shared)) << "the shared icon was destroyed";
    }
}
