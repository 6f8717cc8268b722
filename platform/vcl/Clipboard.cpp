#include "platform/vcl/Clipboard.h"

#include <windows.h>

#include <cstring>

#include "platform/rtl/SysUtils.h"

namespace vcl {

namespace {

// Another program may hold the clipboard for a moment; try a few times.
void OpenClipboardOrRaise() {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(nullptr)) return;
        Sleep(10);
    }
    rtl::RaiseLastOSError(L"OpenClipboard");
}

class ClipboardOpen {
public:
    ClipboardOpen() { OpenClipboardOrRaise(); }
    ~ClipboardOpen() { CloseClipboard(); }
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;
};

}  // namespace

void TClipboard::SetText(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) rtl::RaiseLastOSError(L"GlobalAlloc");
    void* target = GlobalLock(memory);
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);

    ClipboardOpen open;
    EmptyClipboard();
    // On success the clipboard owns the memory.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) {
        const DWORD error = GetLastError();
        GlobalFree(memory);
        rtl::RaiseOSError(L"SetClipboardData", error);
    }
}

std::wstring TClipboard::AsText() {
    ClipboardOpen open;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return {};
    const auto* chars = static_cast<const wchar_t*>(GlobalLock(data));
    if (!chars) return {};
    std::wstring text(chars);
    GlobalUnlock(data);
    return text;
}

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

}  // namespace vcl
