#pragma once
// Small owners for system handles: each closes what it holds when it goes out of scope, so that no
// path through the code leaks a registry key, a LocalAlloc'ed buffer, a module, an icon or a menu.
#include <windows.h>

#include <utility>

#include "framework/system_calls.h"

template <typename Handle, typename Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Handle(); }

    // For functions that hand back a new handle through an out parameter.
    Handle* put()
    {
        reset();
        return &m_handle;
    }

    Handle release() { return std::exchange(m_handle, Handle()); }

    void reset(Handle handle = Handle())
    {
        Handle old = std::exchange(m_handle, handle);
        if (old != Handle())
            Close()(old);
    }

private:
    Handle m_handle = Handle();
};

struct CloseRegKey {
    void operator()(HKEY key) const { Sys().RegCloseKey(key); }
};
struct FreeLocalMemory {
    void operator()(void* memory) const { Sys().LocalFree(memory); }
};
struct FreeModule {
    void operator()(HMODULE module) const { Sys().FreeLibrary(module); }
};
struct CloseFileHandle {
    void operator()(HANDLE file) const { ::CloseHandle(file); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct DestroyMenuHandle {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};

using unique_hkey = UniqueHandle<HKEY, CloseRegKey>;
using unique_local_mem = UniqueHandle<void*, FreeLocalMemory>;
using unique_hmodule = UniqueHandle<HMODULE, FreeModule>;
using unique_hfile = UniqueHandle<HANDLE, CloseFileHandle>;  // null when empty, never INVALID_HANDLE_VALUE
using unique_hicon = UniqueHandle<HICON, DestroyIconHandle>;
using unique_hmenu = UniqueHandle<HMENU, DestroyMenuHandle>;
