#pragma once
// The program's error box.

#include <string>

// Modal box with the message, an error icon and one OK button, attached to
// the help context; usable before the main window exists and after it has
// gone. Returns when the user has closed it.
void ShowErrorBox(const std::wstring& message, int helpContext);
