#pragma once
// The About box: product name with the bitness of Windows, version, copyright years and a link to
// the maker's software page.
#include <windows.h>

#include <string>

#include "ui/common/draggable_dialog.h"

class CAboutDlg : public CDraggableDialog {
public:
    CAboutDlg();

    // The texts it shows, on their own.
    static const wchar_t* BitnessText(int bitness);
    static std::wstring YearText(int year);
    // "Copyright (c) <years> <maker>".
    static std::wstring CopyrightText(int year);
    // The year of the local date, -1 when the clock cannot be read as a date.
    static int CurrentLocalYear();

protected:
    BOOL OnInitDialog() override;
    const RouteTable& Routes() const override;

private:
    LRESULT OnLinkClick(NMHDR* header);
    LRESULT OnHelp(WPARAM wParam, LPARAM lParam, bool& handled);

};

// Runs the About box modally, owned by the application's main window.
void ShowAboutBox();
