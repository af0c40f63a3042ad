#pragma once
// The application object: one per process, created as a static object before wWinMain runs.
// It knows the application's name, runs the start-up and exit operations that a program
// overrides, remembers the main window, and keeps the per-user application profile in the
// registry under HKEY_CURRENT_USER\Software\<profile key name>\<application name>\<section>.
#include <windows.h>

#include <string>

class CModalDialog;

class CAppObject {
public:
    // Without a name the application is named after its executable file (no folder, no extension).
    explicit CAppObject(const wchar_t* appName = nullptr);
    virtual ~CAppObject();

    CAppObject(const CAppObject&) = delete;
    CAppObject& operator=(const CAppObject&) = delete;

    // Start-up: FALSE ends the application at once (Run then goes straight to ExitInstance).
    virtual BOOL InitInstance();
    // Exit: the result is the process exit code.
    virtual int ExitInstance();
    // Called by wWinMain: InitInstance, the message loop if InitInstance returned TRUE, ExitInstance.
    virtual int Run();

    const std::wstring& AppName() const { return m_appName; }

    // The window that dialogs without a parent are owned by.
    void SetMainWindow(CModalDialog* dialog) { m_mainWindow = dialog; }
    HWND MainWindow() const;
    // Called by a dialog that is going away, so that no stale pointer is kept.
    void ForgetMainWindow(const CModalDialog* dialog);

    // Names the key under Software that holds the profile; until it is set the profile reads its
    // defaults and refuses to write.
    void SetProfileKeyName(const wchar_t* keyName);
    const std::wstring& ProfileKeyName() const { return m_profileKeyName; }

    // A section is a key path below the application's profile key, e.g. L"Settings\\Suggested".
    // Reads give the default when the value is missing, unreadable or of the wrong kind; writes
    // create missing keys and return FALSE (last error set) on failure, without any message.
    std::wstring GetProfileString(const wchar_t* section, const wchar_t* name,
                                  const wchar_t* defaultValue = nullptr) const;
    int GetProfileInt(const wchar_t* section, const wchar_t* name, int defaultValue) const;
    BOOL WriteProfileString(const wchar_t* section, const wchar_t* name, const wchar_t* value);
    BOOL WriteProfileInt(const wchar_t* section, const wchar_t* name, int value);

    // HKEY_CURRENT_USER-relative path of a section; empty while no profile key name is set.
    std::wstring ProfileSectionPath(const wchar_t* section) const;

protected:
    // The wParam of the WM_QUIT that ended the message loop; what the base ExitInstance returns.
    int m_exitCode = 0;

private:
    std::wstring m_appName;
    std::wstring m_profileKeyName;
    CModalDialog* m_mainWindow = nullptr;
};

// The application object of the process, or null when there is none.
CAppObject* CurrentApp();

// The window that a dialog without a parent belongs to: the popup the user last worked in above
// the main window (a dialog opened from a dialog), else the main window; null without either.
HWND DefaultDialogOwner();
