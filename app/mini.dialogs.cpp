#include "app/mini.dialogs.h"

#include "platform/vcl/Dialogs.h"

void ShowErrorBox(const std::wstring& message, int helpContext) {
    vcl::ShowMessageDlg(message, vcl::TMsgDlgType::mtError, helpContext);
}
