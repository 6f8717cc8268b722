#pragma once
// A set of the values of a small enumeration, kept as bits (value n is bit n),
// as the classic library stores its sets.

#include <cstdint>
#include <initializer_list>

namespace rtl {

template <class Enum>
class Set {
public:
    constexpr Set() = default;
    constexpr Set(std::initializer_list<Enum> members) {
        for (Enum m : members) bits_ |= Bit(m);
    }
    static constexpr Set FromBits(std::uint32_t bits) {
        Set s;
        s.bits_ = bits;
        return s;
    }
    constexpr bool Contains(Enum m) const { return (bits_ & Bit(m)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr Set& Include(Enum m) {
        bits_ |= Bit(m);
        return *this;
    }
    constexpr Set& Exclude(Enum m) {
        bits_ &= ~Bit(m);
        return *this;
    }
    friend constexpr bool operator==(Set a, Set b) { return a.bits_ == b.bits_; }
    friend constexpr bool operator!=(Set a, Set b) { return a.bits_ != b.bits_; }

private:
    static constexpr std::uint32_t Bit(Enum m) { return 1u << static_cast<unsigned>(m); }
    std::uint32_t bits_ = 0;
};

}  // namespace rtl
