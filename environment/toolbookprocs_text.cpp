#include "environment/toolbookprocs_text.h"

namespace toolbookprocs {

wchar_t DefaultDelimiter = L',';
wchar_t SavedDefaultDelimiter = L'\0';

namespace {
constexpr wchar_t Quote = L'"';
}  // namespace

std::wstring AddTrailingDelimiter(const std::wstring& text) {
    if (!text.empty() && text.back() == L'\\') return text;
    return text + L'\\';
}

std::wstring UpperCaseText(const std::wstring& text) {
    std::wstring result = text;
    for (wchar_t& c : result) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return result;
}

void SetDefaultDelimiter(wchar_t delimiter) {
    SavedDefaultDelimiter = DefaultDelimiter;
    DefaultDelimiter = delimiter;
}

void RestoreDefaultDelimiter() { DefaultDelimiter = SavedDefaultDelimiter; }

std::wstring ExtractField(int fieldNumber, const std::wstring& text, wchar_t delimiter) {
    if (delimiter == L' ') delimiter = DefaultDelimiter;
    if (text.empty() || fieldNumber < 1) return {};

    const size_t length = text.size();
    size_t pos = 0;
    for (int index = 1;; ++index) {
        std::wstring value;
        bool another = false;  // whether one more field follows this one
        if (pos < length && text[pos] == Quote) {
            ++pos;
            bool closed = false;
            while (pos < length) {
                if (text[pos] != Quote) {
                    value += text[pos++];
                } else if (pos + 1 < length && text[pos + 1] == Quote) {
                    value += Quote;
                    pos += 2;
                } else {
                    ++pos;
                    closed = true;
                    break;
                }
            }
            // An unclosed quote runs to the end of the text: this is the last
            // field. After a closing quote the next field starts behind the
            // delimiter, or right there when something else follows.
            if (closed && pos < length) {
                another = true;
                if (text[pos] == delimiter) ++pos;
            }
        } else {
            size_t end = text.find(delimiter, pos);
            if (end == std::wstring::npos) end = length;
            value = text.substr(pos, end - pos);
            if (end < length) {
                another = true;  // also after a final delimiter: an empty field
                pos = end + 1;
            } else {
                pos = length;
            }
        }
        if (index == fieldNumber) return value;
        if (!another) return {};
    }
}

}  // namespace toolbookprocs
