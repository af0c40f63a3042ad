#include "tests/support/seam_recorder.h"

#include <map>
#include <utility>

#include "app/optional_apis.h"

namespace {

struct Failure {
    std::string call;  // empty: match by failable index
    int nth;           // -1: every call
    int failableIndex; // -1: not by index
    DWORD code;
};

struct RecorderState {
    bool active = false;
    std::vector<std::string> calls;
    std::map<std::string, int> counts;
    std::vector<Failure> failures;
    int failable = 0;
    std::string failedCall;
    int openKeys = 0;
    int changes = 0;
    int changesBeforeEnumeration = -1;
    std::vector<SeamCall> failableCalls;
    std::function<void()> beforeFailableCall;
    RegDeleteKeyExFn realDeleteKeyEx = nullptr;
};

RecorderState& State()
{
    static RecorderState state;
    return state;
}

// Records the call and answers whether it is to fail, and with which code. A failable call is
// also traced with its key path, value name or folder (`detail`), its parent key and access.
bool Intercept(const char* name, bool failable, DWORD& code, const wchar_t* detail = nullptr, HKEY parent = nullptr,
               REGSAM access = 0, DWORD options = 0)
{
    RecorderState& s = State();
    if (failable) {
        if (s.beforeFailableCall)
            s.beforeFailableCall();
        s.failableCalls.push_back({name, parent == HKEY_LOCAL_MACHINE, detail ? detail : L"", access, options});
    }
    s.calls.push_back(name);
    int nth = s.counts[name]++;
    int index = -1;
    if (failable)
        index = s.failable++;
    for (const Failure& f : s.failures) {
        bool hit = false;
        if (!f.call.empty())
            hit = f.call == name && (f.nth < 0 || f.nth == nth);
        else
            hit = failable && f.failableIndex == index;
        if (hit) {
            code = f.code;
            if (s.failedCall.empty())
                s.failedCall = name;
            return true;
        }
    }
    return false;
}

// Registry calls return their code.
#define REG_CALL(Name, Detail, Params, Args)                            \
    LONG WINAPI Hook_##Name Params                                      \
    {                                                                   \
        DWORD code;                                                     \
        if (Intercept(#Name, true, code, Detail))                       \
            return static_cast<LONG>(code);                             \
        return Real().Name Args;                                        \
    }

// Calls that report failure with FALSE (or 0) and the last error.
#define BOOL_CALL(Ret, Name, Detail, Params, Args)                      \
    Ret WINAPI Hook_##Name Params                                       \
    {                                                                   \
        DWORD code;                                                     \
        if (Intercept(#Name, true, code, Detail)) {                     \
            ::SetLastError(code);                                       \
            return Ret();                                               \
        }                                                               \
        return Real().Name Args;                                        \
    }

LONG WINAPI Hook_RegOpenKeyExW(HKEY key, LPCWSTR path, DWORD options, REGSAM access, PHKEY result)
{
    DWORD code;
    if (Intercept("RegOpenKeyExW", true, code, path, key, access, options))
        return static_cast<LONG>(code);
    LONG r = Real().RegOpenKeyExW(key, path, options, access, result);
    if (r == ERROR_SUCCESS)
        ++State().openKeys;
    return r;
}

LONG WINAPI Hook_RegCreateKeyExW(HKEY key, LPCWSTR path, DWORD reserved, LPWSTR cls, DWORD options, REGSAM access,
                                 const LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition)
{
    DWORD code;
    if (Intercept("RegCreateKeyExW", true, code, path, key, access))
        return static_cast<LONG>(code);
    DWORD made = 0;
    LONG r = Real().RegCreateKeyExW(key, path, reserved, cls, options, access, security, result, &made);
    if (disposition)
        *disposition = made;
    if (r == ERROR_SUCCESS) {
        ++State().openKeys;
        if (made == REG_CREATED_NEW_KEY)
            ++State().changes;
    }
    return r;
}

LONG WINAPI Hook_RegCloseKey(HKEY key)
{
    DWORD code;
    Intercept("RegCloseKey", false, code);
    LONG r = Real().RegCloseKey(key);
    if (r == ERROR_SUCCESS)
        --State().openKeys;
    return r;
}

LONG WINAPI Hook_RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    DWORD code;
    if (Intercept("RegSetValueExW", true, code, name))
        return static_cast<LONG>(code);
    ++State().changes;
    return Real().RegSetValueExW(key, name, reserved, type, data, size);
}

LONG WINAPI Hook_RegDeleteValueW(HKEY key, LPCWSTR name)
{
    DWORD code;
    if (Intercept("RegDeleteValueW", true, code, name))
        return static_cast<LONG>(code);
    LONG r = Real().RegDeleteValueW(key, name);
    if (r == ERROR_SUCCESS)
        ++State().changes;
    return r;
}

LONG WINAPI Hook_RegDeleteKeyW(HKEY key, LPCWSTR path)
{
    DWORD code;
    if (Intercept("RegDeleteKeyW", true, code, path))
        return static_cast<LONG>(code);
    LONG r = Real().RegDeleteKeyW(key, path);
    if (r == ERROR_SUCCESS)
        ++State().changes;
    return r;
}

LONG WINAPI Hook_RegDeleteKeyExW(HKEY key, LPCWSTR path, REGSAM view, DWORD reserved)
{
    DWORD code;
    if (Intercept("RegDeleteKeyExW", true, code, path))
        return static_cast<LONG>(code);
    LONG r = State().realDeleteKeyEx(key, path, view, reserved);
    if (r == ERROR_SUCCESS)
        ++State().changes;
    return r;
}

REG_CALL(RegQueryValueExW, name, (HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size),
         (key, name, reserved, type, data, size))
LONG WINAPI Hook_RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD length, LPDWORD reserved, LPWSTR cls,
                               LPDWORD clsLength, PFILETIME time)
{
    RecorderState& s = State();
    if (s.changesBeforeEnumeration < 0)
        s.changesBeforeEnumeration = s.changes;
    DWORD code;
    if (Intercept("RegEnumKeyExW", true, code, std::to_wstring(index).c_str()))
        return static_cast<LONG>(code);
    return Real().RegEnumKeyExW(key, index, name, length, reserved, cls, clsLength, time);
}
REG_CALL(RegEnumValueW, nullptr,
         (HKEY key, DWORD index, LPWSTR name, LPDWORD length, LPDWORD reserved, LPDWORD type, LPBYTE data,
          LPDWORD size),
         (key, index, name, length, reserved, type, data, size))
REG_CALL(RegQueryInfoKeyW, nullptr,
         (HKEY key, LPWSTR cls, LPDWORD clsLength, LPDWORD reserved, LPDWORD subkeys, LPDWORD maxSubkey,
          LPDWORD maxClass, LPDWORD values, LPDWORD maxValueName, LPDWORD maxValue, LPDWORD security,
          PFILETIME time),
         (key, cls, clsLength, reserved, subkeys, maxSubkey, maxClass, values, maxValueName, maxValue, security, time))

LONG WINAPI Hook_RegCopyTreeW(HKEY source, LPCWSTR path, HKEY target)
{
    DWORD code;
    if (Intercept("RegCopyTreeW", true, code, path))
        return static_cast<LONG>(code);
    ++State().changes;
    return Real().RegCopyTreeW(source, path, target);
}

LONG WINAPI Hook_NtDeleteKey(HKEY key)
{
    DWORD code;
    if (Intercept("NtDeleteKey", true, code))
        return static_cast<LONG>(code);
    LONG r = Real().NtDeleteKey(key);
    if (r == ERROR_SUCCESS)
        ++State().changes;
    return r;
}

// An injected Win32 code is handed back as the status that carries it (FACILITY_NTWIN32), which the
// program turns back into that code.
NTSTATUS NTAPI Hook_NtCreateFile(PHANDLE file, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, PIO_STATUS_BLOCK io,
                                 PLARGE_INTEGER size, ULONG fileAttributes, ULONG share, ULONG disposition,
                                 ULONG options, PVOID ea, ULONG eaLength)
{
    DWORD code;
    std::wstring name;
    if (attributes && attributes->ObjectName && attributes->ObjectName->Buffer)
        name.assign(attributes->ObjectName->Buffer, attributes->ObjectName->Length / sizeof(wchar_t));
    if (Intercept("NtCreateFile", true, code, name.c_str()))
        return static_cast<NTSTATUS>(0xC0070000u | (code & 0xFFFFu));
    return Real().NtCreateFile(file, access, attributes, io, size, fileAttributes, share, disposition, options, ea,
                               eaLength);
}

BOOL_CALL(BOOL, CreateDirectoryW, path, (LPCWSTR path, LPSECURITY_ATTRIBUTES security), (path, security))
BOOL_CALL(BOOL, RemoveDirectoryW, path, (LPCWSTR path), (path))
BOOL_CALL(BOOL, ConvertStringSecurityDescriptorToSecurityDescriptorW, text,
          (LPCWSTR text, DWORD revision, PSECURITY_DESCRIPTOR* descriptor, PULONG size),
          (text, revision, descriptor, size))
BOOL_CALL(BOOL, GetSecurityDescriptorDacl, nullptr,
          (PSECURITY_DESCRIPTOR descriptor, LPBOOL present, PACL* dacl, LPBOOL defaulted),
          (descriptor, present, dacl, defaulted))
HANDLE WINAPI Hook_CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE model)
{
    DWORD code;
    if (Intercept("CreateFileW", true, code, path)) {
        ::SetLastError(code);
        return INVALID_HANDLE_VALUE;
    }
    return Real().CreateFileW(path, access, share, security, disposition, flags, model);
}
BOOL_CALL(BOOL, WriteFile, nullptr, (HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped),
          (file, data, size, written, overlapped))
BOOL_CALL(BOOL, DeleteFileW, path, (LPCWSTR path), (path))
BOOL_CALL(BOOL, GetFileInformationByHandle, nullptr, (HANDLE file, LPBY_HANDLE_FILE_INFORMATION info), (file, info))
BOOL_CALL(DWORD, GetFinalPathNameByHandleW, nullptr, (HANDLE file, LPWSTR path, DWORD size, DWORD flags),
          (file, path, size, flags))
DWORD WINAPI Hook_GetSecurityInfo(HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION info, PSID* owner,
                                  PSID* group, PACL* dacl, PACL* sacl, PSECURITY_DESCRIPTOR* descriptor)
{
    DWORD code;
    if (Intercept("GetSecurityInfo", true, code))
        return code;
    return Real().GetSecurityInfo(handle, type, info, owner, group, dacl, sacl, descriptor);
}
BOOL_CALL(BOOL, SetFileInformationByHandle, nullptr,
          (HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size), (file, kind, info, size))
BOOL_CALL(BOOL, SetKernelObjectSecurity, nullptr,
          (HANDLE handle, SECURITY_INFORMATION info, PSECURITY_DESCRIPTOR descriptor), (handle, info, descriptor))

}  // namespace

const SystemCalls& Real()
{
    return RealSystemCalls();
}

SeamRecorder::SeamRecorder() : m_saved(Sys()), m_savedDeleteKeyEx(reinterpret_cast<void*>(g_pfnRegDeleteKeyEx))
{
    RecorderState& s = State();
    s = RecorderState();
    s.active = true;
    s.realDeleteKeyEx = g_pfnRegDeleteKeyEx;

    SystemCalls& sys = Sys();
    sys.RegOpenKeyExW = Hook_RegOpenKeyExW;
    sys.RegCreateKeyExW = Hook_RegCreateKeyExW;
    sys.RegCloseKey = Hook_RegCloseKey;
    sys.RegQueryValueExW = Hook_RegQueryValueExW;
    sys.RegSetValueExW = Hook_RegSetValueExW;
    sys.RegDeleteValueW = Hook_RegDeleteValueW;
    sys.RegDeleteKeyW = Hook_RegDeleteKeyW;
    sys.RegEnumKeyExW = Hook_RegEnumKeyExW;
    sys.RegEnumValueW = Hook_RegEnumValueW;
    sys.RegQueryInfoKeyW = Hook_RegQueryInfoKeyW;
    sys.RegCopyTreeW = Hook_RegCopyTreeW;
    sys.NtDeleteKey = Hook_NtDeleteKey;
    sys.NtCreateFile = Hook_NtCreateFile;
    sys.CreateDirectoryW = Hook_CreateDirectoryW;
    sys.RemoveDirectoryW = Hook_RemoveDirectoryW;
    sys.ConvertStringSecurityDescriptorToSecurityDescriptorW = Hook_ConvertStringSecurityDescriptorToSecurityDescriptorW;
    sys.GetSecurityDescriptorDacl = Hook_GetSecurityDescriptorDacl;
    sys.CreateFileW = Hook_CreateFileW;
    sys.WriteFile = Hook_WriteFile;
    sys.DeleteFileW = Hook_DeleteFileW;
    sys.GetFileInformationByHandle = Hook_GetFileInformationByHandle;
    sys.GetFinalPathNameByHandleW = Hook_GetFinalPathNameByHandleW;
    sys.GetSecurityInfo = Hook_GetSecurityInfo;
    sys.SetKernelObjectSecurity = Hook_SetKernelObjectSecurity;
    sys.SetFileInformationByHandle = Hook_SetFileInformationByHandle;
    if (g_pfnRegDeleteKeyEx)
        g_pfnRegDeleteKeyEx = Hook_RegDeleteKeyExW;
}

SeamRecorder::~SeamRecorder()
{
    State().beforeFailableCall = nullptr;
    Sys() = m_saved;
    g_pfnRegDeleteKeyEx = reinterpret_cast<RegDeleteKeyExFn>(m_savedDeleteKeyEx);
    State().active = false;
}

void SeamRecorder::FailCall(const std::string& call, int nth, DWORD code)
{
    State().failures.push_back({call, nth, -1, code});
}

void SeamRecorder::FailFailableCall(int index, DWORD code)
{
    State().failures.push_back({std::string(), -1, index, code});
}

void SeamRecorder::FailEveryCall(const std::string& call, DWORD code)
{
    State().failures.push_back({call, -1, -1, code});
}

const std::vector<std::string>& SeamRecorder::Calls() const
{
    return State().calls;
}

int SeamRecorder::FailableCallCount() const
{
    return State().failable;
}

const std::string& SeamRecorder::FailedCall() const
{
    return State().failedCall;
}

int SeamRecorder::OpenKeys() const
{
    return State().openKeys;
}

int SeamRecorder::RegistryChanges() const
{
    return State().changes;
}

int SeamRecorder::CountOf(const std::string& call) const
{
    auto it = State().counts.find(call);
    return it == State().counts.end() ? 0 : it->second;
}

void SeamRecorder::ClearLog()
{
    RecorderState& s = State();
    s.calls.clear();
    s.counts.clear();
    s.failable = 0;
    s.failedCall.clear();
    s.changes = 0;
    s.changesBeforeEnumeration = -1;
    s.failableCalls.clear();
}

const std::vector<SeamCall>& SeamRecorder::FailableCalls() const
{
    return State().failableCalls;
}

void SeamRecorder::BeforeEachFailableCall(std::function<void()> callback)
{
    State().beforeFailableCall = std::move(callback);
}

int SeamRecorder::ChangesBeforeFirstEnumeration() const
{
    return State().changesBeforeEnumeration;
}
