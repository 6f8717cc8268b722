#include "platform/vcl/Dialogs.h"

#include <windows.h>

namespace vcl {

const wchar_t* DefaultCaption(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::mtWarning: return L"Warning";
        case TMsgDlgType::mtError: return L"Error";
        case TMsgDlgType::mtInformation: return L"Information";
        case TMsgDlgType::mtConfirmation: return L"Confirm";
    }
    return L"";
}

void ShowMessageDlg(const std::wstring& message, TMsgDlgType type, int helpContext) {
    UINT icon = MB_ICONERROR;
    switch (type) {
        case TMsgDlgType::mtWarning: icon = MB_ICONWARNING; break;
        case TMsgDlgType::mtError: icon = MB_ICONERROR; break;
        case TMsgDlgType::mtInformation: icon = MB_ICONINFORMATION; break;
        case TMsgDlgType::mtConfirmation: icon = MB_ICONQUESTION; break;
    }
    MSGBOXPARAMSW params{};
    params.cbSize = sizeof(params);
    // The active window of this thread, if any, so the box is modal to it;
    // before the main window exists and after it has gone there is none.
    params.hwndOwner = GetActiveWindow();
    params.lpszText = message.c_str();
    params.lpszCaption = DefaultCaption(type);
    params.dwStyle = MB_OK | icon | (params.hwndOwner ? 0 : MB_TASKMODAL);
    params.dwContextHelpId = static_cast<DWORD_PTR>(helpContext);
    MessageBoxIndirectW(&params);
}

}  // namespace vcl
