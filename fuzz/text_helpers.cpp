// UpperCaseText and AddTrailingDelimiter against what must hold for any
// text. Input: one byte that picks where to cut the text in two, then the
// text (see FuzzInput.h).

#include <string>

#include "environment/toolbookprocs_text.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"

using toolbookprocs::AddTrailingDelimiter;
using toolbookprocs::UpperCaseText;

namespace {

bool IsLowerAscii(wchar_t c) { return c >= L'a' && c <= L'z'; }

void CheckUpperCase(const std::wstring& text, size_t cut) {
    const std::wstring upper = UpperCaseText(text);
    FUZZ_CHECK(upper.size() == text.size(), text, "the upper-case text has another length");
    for (size_t i = 0; i < text.size(); ++i) {
        // Only a..z change, each to its own capital; everything else (other
        // scripts, accented letters, surrogates) is left alone.
        const wchar_t expected =
            IsLowerAscii(text[i]) ? static_cast<wchar_t>(text[i] - 0x20) : text[i];
        FUZZ_CHECK(upper[i] == expected, text,
                   "character " + std::to_string(i) + " became \\u" +
                       std::to_string(static_cast<unsigned>(upper[i])));
    }
    FUZZ_CHECK(UpperCaseText(upper) == upper, text, "upper-casing twice changes the text");
    // Character by character: the parts of a text convert like the whole.
    const std::wstring head = text.substr(0, cut);
    const std::wstring tail = text.substr(cut);
    FUZZ_CHECK(UpperCaseText(head) + UpperCaseText(tail) == upper, text,
               "cut at " + std::to_string(cut) + " converts differently");
}

void CheckTrailingDelimiter(const std::wstring& text) {
    const std::wstring folder = AddTrailingDelimiter(text);
    FUZZ_CHECK(!folder.empty() && folder.back() == L'\\', text, "no '\\' at the end");
    FUZZ_CHECK(folder.compare(0, text.size(), text) == 0, text, "the text itself changed");
    const bool hadOne = !text.empty() && text.back() == L'\\';
    FUZZ_CHECK(folder.size() == text.size() + (hadOne ? 0 : 1), text,
               "grew by " + std::to_string(folder.size() - text.size()));
    FUZZ_CHECK(AddTrailingDelimiter(folder) == folder, text, "a second '\\' was added");
    FUZZ_CHECK(UpperCaseText(folder) == AddTrailingDelimiter(UpperCaseText(text)), text,
               "upper-casing and the delimiter do not commute");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzinput::Reader in(data, size);
    const size_t cutByte = in.Byte();
    const std::wstring text = in.Rest();
    CheckUpperCase(text, text.empty() ? 0 : cutByte % (text.size() + 1));
    CheckTrailingDelimiter(text);
    return 0;
}
