#pragma once
// The common file-open (or save-as) dialog with the set-up most callers want: the filter given
// with '|' separators, an initial file name, a default extension, and the explorer style with a
// resizable frame. m_ofn is public so that a caller can adjust it before DoModal.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

class CFileOpenDialog {
public:
    // openDialog: TRUE for File Open, FALSE for Save As. filter: "Text|*.txt|All|*.*|".
    // Without a parent the dialog is owned by the window the user works in: the main window's
    // last active popup, or the main window, or without one the active window.
    explicit CFileOpenDialog(BOOL openDialog, const wchar_t* defaultExtension = nullptr,
                             const wchar_t* fileName = nullptr,
                             DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                             const wchar_t* filter = nullptr, HWND parent = nullptr);

    CFileOpenDialog(const CFileOpenDialog&) = delete;
    CFileOpenDialog& operator=(const CFileOpenDialog&) = delete;

    // IDOK when the user chose a file, IDCANCEL otherwise (cancelled or failed; see
    // CommDlgExtendedError).
    INT_PTR DoModal();
    // The full path of the chosen file.
    std::wstring GetPathName() const;

    OPENFILENAMEW m_ofn;

private:
    bool m_openDialog;
    std::wstring m_defaultExtension;
    std::wstring m_filter; // with NUL separators and the closing double NUL
    std::vector<wchar_t> m_fileName;
    std::vector<wchar_t> m_fileTitle;
};

// "A|*.a|B|*.b|" -> "A\0*.a\0B\0*.b\0\0"; a filter without the closing bar gets one.
std::wstring FilterWithNulSeparators(const wchar_t* filter);
