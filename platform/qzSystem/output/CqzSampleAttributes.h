#pragma once
// The 64-bit display record that analysis tools attach to each row (or subrow) of a data table:
// whether the sample is hidden and in which colour it is drawn. Bits the record does not name are
// carried along untouched, so a record copied from an earlier tool keeps them.

#include <cstdint>

class CqzSampleAttributes
{
public:
    // The data type name of sources holding these records.
    static constexpr const wchar_t* TypeName = L"CqzSampleAttributes";

    static constexpr int HiddenBit = 11;
    static constexpr int ColoredBit = 13;
    static constexpr int ColorShift = 32;
    static constexpr std::uint64_t ColorMask = 0xFFFFFFull << ColorShift;

    constexpr CqzSampleAttributes() = default;
    constexpr explicit CqzSampleAttributes(std::uint64_t raw) : m_raw(raw) {}

    constexpr std::uint64_t GetRaw() const { return m_raw; }
    constexpr void SetRaw(std::uint64_t raw) { m_raw = raw; }

    constexpr bool IsHidden() const { return GetBit(HiddenBit); }
    constexpr void SetHidden(bool hidden) { SetBit(HiddenBit, hidden); }
    constexpr bool IsColored() const { return GetBit(ColoredBit); }
    constexpr void SetColored(bool colored) { SetBit(ColoredBit, colored); }

    // The 24-bit colour (bits 32 to 55).
    constexpr std::uint32_t GetColor() const
    {
        return static_cast<std::uint32_t>((m_raw & ColorMask) >> ColorShift);
    }
    // Writes the low 24 bits of `color`; every other bit of the record stays as it was.
    constexpr void SetColor(std::uint32_t color)
    {
        m_raw = (m_raw & ~ColorMask) | ((std::uint64_t{color} << ColorShift) & ColorMask);
    }

    friend constexpr bool operator==(const CqzSampleAttributes&,
                                     const CqzSampleAttributes&) = default;

private:
    constexpr bool GetBit(int bit) const { return ((m_raw >> bit) & 1u) != 0; }
    constexpr void SetBit(int bit, bool on)
    {
        m_raw = on ? (m_raw | (std::uint64_t{1} << bit)) : (m_raw & ~(std::uint64_t{1} << bit));
    }

    std::uint64_t m_raw = 0;
};
