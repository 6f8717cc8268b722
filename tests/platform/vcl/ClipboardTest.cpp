// The clipboard as the program fills it: plain Unicode text.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/vcl/Clipboard.h"

namespace {

std::wstring ReadUnicodeText() {
    if (!OpenClipboard(nullptr)) return L"<clipboard not open>";
    std::wstring text = L"<no CF_UNICODETEXT>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TEST(Clipboard, SetTextReplacesTheContentAsUnicodeText) {
    const std::wstring log =
        L"Data folder: C:\\KalvoraData\\\r\n \u00e4\u00f6\u00fc OK: \u20ac\r\n";
    vcl::Clipboard()->SetText(L"earlier");
    vcl::Clipboard()->SetText(log);
    EXPECT_EQ(log, ReadUnicodeText());
    EXPECT_EQ(log, vcl::Clipboard()->AsText());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(nullptr, GetClipboardData(CF_HDROP)) << "nothing but text";
    CloseClipboard();
}

}  // namespace
