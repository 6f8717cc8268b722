#pragma once
// Turns the fuzzer's bytes into the values the helpers take.
//
// Native builds have a 32-bit wchar_t where Windows has a 16-bit one. The
// helpers only compare code units with ASCII characters, so they behave the
// same on both as long as every code unit fits in 16 bits; the decoding here
// never makes a larger one.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzinput {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return pos_ >= size_; }

    uint8_t Byte() { return AtEnd() ? 0 : data_[pos_++]; }

    // Bytes below 0xF0 stand for themselves (ASCII and most of Latin-1, the
    // characters that matter to these helpers, cost one byte); 0xF0 and above
    // take the next two bytes as one UTF-16 code unit, low byte first.
    wchar_t CodeUnit() {
        const uint8_t first = Byte();
        if (first < 0xF0) return static_cast<wchar_t>(first);
        const unsigned low = Byte();
        const unsigned high = Byte();
        return static_cast<wchar_t>(low | (high << 8));
    }

    // Everything that is left, as text.
    std::wstring Rest() {
        std::wstring text;
        while (!AtEnd()) text += CodeUnit();
        return text;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace fuzzinput
