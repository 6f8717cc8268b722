#pragma once
// The message dialog.

#include <string>

namespace vcl {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };

// Shows a modal message box with one OK button, the icon of the given type
// and that type's default caption ("Error" for mtError), at the system's
// default position. helpContext is attached to the box (WM_HELP reports it);
// there is no help file. Works with or without a main window.
void ShowMessageDlg(const std::wstring& message, TMsgDlgType type, int helpContext);

// Caption that ShowMessageDlg gives a box of that type.
const wchar_t* DefaultCaption(TMsgDlgType type);

}  // namespace vcl
