#pragma once
// Test access to the system-call seam: while a SeamRecorder lives, every registry, file, security
// and module call of the program goes through it. It records the calls in order, counts open
// registry keys and changes, and makes a chosen call fail with a chosen Win32 code. RegDeleteKeyExW
// is wrapped as well (through the program's optional function pointer).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/system_calls.h"

// One failable call as the recorder saw it.
struct SeamCall {
    std::string name;
    bool fromMachineRoot = false;  // RegOpenKeyExW / RegCreateKeyExW on HKEY_LOCAL_MACHINE itself
    std::wstring detail;           // key path, value name, folder, or the enumeration index
    REGSAM access = 0;
    DWORD options = 0;  // RegOpenKeyExW: REG_OPTION_OPEN_LINK opens a link as itself
};

class SeamRecorder {
public:
    SeamRecorder();
    ~SeamRecorder();
    SeamRecorder(const SeamRecorder&) = delete;
    SeamRecorder& operator=(const SeamRecorder&) = delete;

    // The `nth` (0-based) call of the function named `call` ("RegSetValueExW", ...) fails with `code`
    // (NtCreateFile hands it back as the NTSTATUS of that Win32 code).
    void FailCall(const std::string& call, int nth, DWORD code);
    // The `index`-th (0-based) call among the failable calls, whatever its function, fails.
    void FailFailableCall(int index, DWORD code);
    // Every call of `call` fails with `code`.
    void FailEveryCall(const std::string& call, DWORD code);

    // Calls in order, by function name.
    const std::vector<std::string>& Calls() const;
    // The failable calls made so far: registry, file and security calls that can report a failure.
    int FailableCallCount() const;
    // The call that was made to fail ("" when none was reached).
    const std::string& FailedCall() const;
    // Registry keys opened or created and not yet closed.
    int OpenKeys() const;
    // Calls that change the registry: value writes, value deletes, key deletes (NtDeleteKey and the
    // RegDeleteKey calls), key creations that made a new key.
    int RegistryChanges() const;
    // The failable calls so far with their arguments, in failable order.
    const std::vector<SeamCall>& FailableCalls() const;
    // Runs in front of every failable call (e.g. to take a snapshot of the registry).
    void BeforeEachFailableCall(std::function<void()> callback);
    // Registry changes counted before the first RegEnumKeyExW, which tells the global key's
    // changes of a save from its program keys' changes; -1 when no enumeration ran.
    int ChangesBeforeFirstEnumeration() const;
    // Number of calls of one function.
    int CountOf(const std::string& call) const;
    void ClearLog();

private:
    SystemCalls m_saved;
    void* m_savedDeleteKeyEx;
};

// The real calls, for test set-up that must not be recorded.
const SystemCalls& Real();
