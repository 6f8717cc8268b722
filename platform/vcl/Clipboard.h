#pragma once
// The system clipboard, for plain Unicode text.

#include <string>

namespace vcl {

class TClipboard {
public:
    // Replaces the clipboard's content with text as CF_UNICODETEXT. Raises
    // EOSError when the clipboard cannot be opened or filled.
    void SetText(const std::wstring& text);
    // The clipboard's CF_UNICODETEXT, empty when there is none.
    std::wstring AsText();
};

TClipboard* Clipboard();

}  // namespace vcl
