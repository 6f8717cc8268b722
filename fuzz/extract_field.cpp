// ExtractField against what must hold for any text, delimiter and default
// delimiter.
//
// Input: the delimiter passed, the default delimiter, then the text (see
// FuzzInput.h for how bytes become code units).

#include <climits>
#include <string>
#include <vector>

#include "environment/toolbookprocs_text.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"

using toolbookprocs::ExtractField;

namespace {

constexpr wchar_t Quote = L'"';

// Fields 1 to text.size() + 2: a text cannot have more than one field per
// character plus one, so the last of these must always be missing.
std::vector<std::wstring> FieldsOf(const std::wstring& text, wchar_t delimiter) {
    std::vector<std::wstring> fields;
    for (size_t n = 1; n <= text.size() + 2; ++n) {
        fields.push_back(ExtractField(static_cast<int>(n), text, delimiter));
    }
    return fields;
}

std::vector<std::wstring> SplitAt(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts(1);
    for (wchar_t c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::wstring Quoted(const std::wstring& value) {
    std::wstring out(1, Quote);
    for (wchar_t c : value) {
        out += c;
        if (c == Quote) out += Quote;
    }
    return out + Quote;
}

std::string Field(size_t number, const std::wstring& value) {
    return "field " + std::to_string(number) + " is \"" + fuzzcheck::Shown(value) + "\"";
}

void CheckAnyText(const std::wstring& text, wchar_t delimiter, wchar_t effective,
                  const std::vector<std::wstring>& fields) {
    size_t total = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        FUZZ_CHECK(fields[i].size() <= text.size(), text, Field(i + 1, fields[i]));
        total += fields[i].size();
    }
    // Every character of a field comes from its own stretch of the text.
    FUZZ_CHECK(total <= text.size(), text,
               "the fields hold " + std::to_string(total) + " characters");
    FUZZ_CHECK(fields.back().empty(), text, Field(fields.size(), fields.back()));
    for (int n : {0, -1, INT_MIN, INT_MAX}) {
        const std::wstring got = ExtractField(n, text, delimiter);
        FUZZ_CHECK(got.empty(), text,
                   "field " + std::to_string(n) + " is \"" + fuzzcheck::Shown(got) + "\"");
    }
    // A space picks the default delimiter and never splits at spaces itself.
    if (delimiter == L' ') {
        const std::vector<std::wstring> direct = FieldsOf(text, effective);
        FUZZ_CHECK(direct == fields, text, "a space gives other fields than the default delimiter");
    }
}

// Without quotes, splitting is plain: the fields are the stretches between
// delimiters, and joining them again gives the text back.
void CheckUnquotedText(const std::wstring& text, wchar_t effective,
                       const std::vector<std::wstring>& fields) {
    if (text.find(Quote) != std::wstring::npos) return;
    if (text.empty()) {
        for (const std::wstring& field : fields)
            FUZZ_CHECK(field.empty(), text, "empty text has a field");
        return;
    }
    size_t delimiters = 0;
    for (wchar_t c : text) delimiters += (c == effective);
    const size_t count = delimiters + 1;
    std::wstring joined;
    for (size_t i = 0; i < count; ++i) {
        FUZZ_CHECK(fields[i].find(effective) == std::wstring::npos, text, Field(i + 1, fields[i]));
        if (i > 0) joined += effective;
        joined += fields[i];
    }
    FUZZ_CHECK(joined == text, text, "the fields joined give \"" + fuzzcheck::Shown(joined) + "\"");
    for (size_t i = count; i < fields.size(); ++i) {
        FUZZ_CHECK(fields[i].empty(), text, Field(i + 1, fields[i]) + " beyond the last delimiter");
    }
    if (delimiters == 0) FUZZ_CHECK(fields[0] == text, text, Field(1, fields[0]));
}

// Values that may hold anything, the delimiter and quotes included, come
// back unchanged from a text that quotes each of them.
void CheckQuotedRoundTrip(const std::wstring& text, wchar_t delimiter, wchar_t effective) {
    if (effective == Quote) return;
    const std::vector<std::wstring> values = SplitAt(text, L'\x01');
    std::wstring encoded;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) encoded += effective;
        encoded += Quoted(values[i]);
    }
    for (size_t i = 0; i < values.size(); ++i) {
        const std::wstring got = ExtractField(static_cast<int>(i + 1), encoded, delimiter);
        FUZZ_CHECK(got == values[i], encoded,
                   Field(i + 1, got) + ", quoted from \"" + fuzzcheck::Shown(values[i]) + "\"");
    }
    const std::wstring extra =
        ExtractField(static_cast<int>(values.size() + 1), encoded, delimiter);
    FUZZ_CHECK(extra.empty(), encoded, Field(values.size() + 1, extra) + " after the last value");
}

// After a closing quote, anything but the delimiter starts the next field
// right there: "value"tail gives value and tail.
void CheckTextAfterClosingQuote(const std::wstring& text, wchar_t delimiter, wchar_t effective) {
    std::wstring tail;
    for (wchar_t c : text) {
        if (c != Quote && c != effective) tail += c;
    }
    if (tail.empty()) return;
    const std::wstring value = text.substr(0, text.size() / 2);
    const std::wstring encoded = Quoted(value) + tail;
    const std::wstring first = ExtractField(1, encoded, delimiter);
    const std::wstring second = ExtractField(2, encoded, delimiter);
    FUZZ_CHECK(first == value, encoded, Field(1, first));
    FUZZ_CHECK(second == tail, encoded, Field(2, second));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzinput::Reader in(data, size);
    const wchar_t delimiter = in.CodeUnit();
    const wchar_t fallback = in.CodeUnit();
    const std::wstring text = in.Rest();

    toolbookprocs::SetDefaultDelimiter(fallback);
    const wchar_t effective = delimiter == L' ' ? fallback : delimiter;
    const std::vector<std::wstring> fields = FieldsOf(text, delimiter);
    FUZZ_CHECK(toolbookprocs::DefaultDelimiter == fallback, text,
               "ExtractField changed the default delimiter");

    CheckAnyText(text, delimiter, effective, fields);
    CheckUnquotedText(text, effective, fields);
    CheckQuotedRoundTrip(text, delimiter, effective);
    if (effective != Quote) CheckTextAfterClosingQuote(text, delimiter, effective);
    return 0;
}
