#include "platform/DesktopDialogs.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

namespace {

// The colour dialog's sixteen custom colours, kept for as long as the module is loaded.
COLORREF gCustomColours[16] = {};

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* choose = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        const char* caption = reinterpret_cast<const char*>(choose->lCustData);
        if (caption) {
            SetWindowTextA(dialog, caption);
        }
    }
    return 0;
}

} // namespace

bool AskDesktopForFile(void* owner, bool save, const std::string& folder, std::string* out) {
    out->clear();
    char file[256] = "";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFile = file;
    dialog.nMaxFile = 255;
    dialog.lpstrInitialDir = folder.c_str();
    dialog.Flags =
        save ? (OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST) : (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    if (!(save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog))) {
        return false;
    }
    *out = file;
    return true;
}

bool AskDesktopForColour(void* owner, const char* caption, int* red, int* green, int* blue) {
    CHOOSECOLORA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.rgbResult = RGB(*red, *green, *blue);
    dialog.lpCustColors = gCustomColours;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_SOLIDCOLOR | CC_ANYCOLOR | CC_ENABLEHOOK;
    dialog.lCustData = LPARAM(caption);
    dialog.lpfnHook = ColourDialogHook;
    if (!ChooseColorA(&dialog)) {
        return false;
    }
    *red = GetRValue(dialog.rgbResult);
    *green = GetGValue(dialog.rgbResult);
    *blue = GetBValue(dialog.rgbResult);
    return true;
}

bool AskDesktopYesNo(void* owner, const char* caption, const char* text) {
    return MessageBoxA(static_cast<HWND>(owner), text, caption, MB_YESNO) == IDYES;
}

void ShowDesktopMessage(void* owner, const char* caption, const char* text) {
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK);
}

bool OpenDesktopLink(void* owner, const char* url) {
    DWORD connection = 0;
    return InternetGetConnectedState(&connection, 0) &&
           INT_PTR(ShellExecuteA(static_cast<HWND>(owner), "open", url, nullptr, nullptr,
                                 SW_SHOWNORMAL)) > 32;
}
