#pragma once
// The web pages the program opens, and the one way it opens them.
#include <windows.h>

#include <string>

// The maker's host name: the profile key name, the About link text and the host of its pages.
#define MAKER_HOST_NAME L"kestrune.example.org"

extern const wchar_t* const PAGE_MINIDUMP_DOCS;     // documentation on minidump files
extern const wchar_t* const PAGE_CRASH_VIDEO;       // videos on analysing crash dumps
extern const wchar_t* const PAGE_LOCALDUMPS_DOCS;   // documentation on collecting user-mode dumps
extern const wchar_t* const PAGE_DONATION;          // the maker's donation page
extern const wchar_t* const PAGE_SOFTWARE;          // the maker's software page
// The program information page, with the version text in its query.
std::wstring ProgramInfoPage();

// Hands the address to the shell without any shell error dialog. TRUE when the shell accepted it;
// the last error is the shell's code after a failure and 0 after a success.
BOOL OpenUrl(HWND owner, const wchar_t* url);

// F1 anywhere: runs the main window's WM_HELP handling (the program information page, owned by
// the main window; a beep on failure). Nothing happens without a main window.
void ForwardHelpToMainWindow();
// The main window's own WM_HELP handling.
void OpenProgramInfoPage(HWND mainWindow);
