#include "framework/file_open_dialog.h"

#include "framework/app_object.h"

namespace {
// Room for long paths; the dialog reports FNERR_BUFFERTOOSMALL rather than cutting a name.
const size_t FILE_NAME_CAPACITY = 32768;
const size_t FILE_TITLE_CAPACITY = MAX_PATH;
} // namespace

std::wstring FilterWithNulSeparators(const wchar_t* filter)
{
    if (!filter || !*filter)
        return std::wstring();
    std::wstring converted = filter;
    if (converted.back() != L'|')
        converted += L'|';
    for (wchar_t& c : converted) {
        if (c == L'|')
            c = L'\0';
    }
    // The std::wstring's own terminator makes the closing double NUL.
    return converted;
}

CFileOpenDialog::CFileOpenDialog(BOOL openDialog, const wchar_t* defaultExtension,
                                 const wchar_t* fileName, DWORD flags, const wchar_t* filter,
                                 HWND parent)
    : m_ofn(),
      m_openDialog(openDialog != FALSE),
      m_defaultExtension(defaultExtension ? defaultExtension : L""),
      m_filter(FilterWithNulSeparators(filter)),
      m_fileName(FILE_NAME_CAPACITY, L'\0'),
      m_fileTitle(FILE_TITLE_CAPACITY, L'\0')
{
    if (fileName)
        lstrcpynW(m_fileName.data(), fileName, static_cast<int>(m_fileName.size()));

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = parent;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.nFilterIndex = m_filter.empty() ? 0 : 1;
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileName.size());
    m_ofn.lpstrFileTitle = m_fileTitle.data();
    m_ofn.nMaxFileTitle = static_cast<DWORD>(m_fileTitle.size());
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    m_ofn.Flags = flags | OFN_ENABLESIZING | OFN_EXPLORER;
}

INT_PTR CFileOpenDialog::DoModal()
{
    if (!m_ofn.hwndOwner) {
        // The window the user is working in, so that it cannot be used while the dialog runs.
        m_ofn.hwndOwner = DefaultDialogOwner();
        if (!m_ofn.hwndOwner)
            m_ofn.hwndOwner = ::GetActiveWindow();
    }
    const BOOL chosen = m_openDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

std::wstring CFileOpenDialog::GetPathName() const
{
    return std::wstring(m_ofn.lpstrFile ? m_ofn.lpstrFile : L"");
}
