#pragma once
// The type of one CSV column, learnt from all of its values (Add), and the conversion of its
// values once the type is known. Owned by the CSV importer for one import.

#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <string_view>

enum EqzCsvColumnType
{
    eqzCsvText,
    eqzCsvBit,
    eqzCsvBinary,
    eqzCsvHex,
    eqzCsvDecimal,
    eqzCsvPrefixed // every value with a radix prefix of its own (0x, 0b, 0o), not all alike
};

// Used inside the capture library only: its calls, one or more for every cell, bind directly.
class [[gnu::visibility("hidden")]] CqzCsvColumn
{
public:
    // Learns from one value (empty values say nothing).
    void Add(std::string_view cell);
    // Learns what `later` learnt, as if its values had been added after these.
    void Merge(const CqzCsvColumn& later);

    // Fixes the type and width learnt so far (Convert reads them for every value).
    void Finish();

    EqzCsvColumnType GetType() const { return m_finished ? m_type : LearntType(); }
    // Bits of a bit, binary or hexadecimal column (may exceed 128: the caller refuses that);
    // 8, 16, 32, 64 or 128 for a decimal column; 0 for text.
    int GetWidth() const { return m_finished ? m_width : LearntWidth(); }

    // A value of a non-text column: the status (0, 3 for an empty value, 4 for x or z digits)
    // with the value and the bits of its x and z digits. -1 when the value does not read as
    // the column's type.
    int Convert(std::string_view cell, CqzUInt& value, CqzUInt& unknown, CqzUInt& floating) const;
    // The common case of Convert without its generality: a value of up to 64 bits with
    // status 0 (false for anything else, which Convert then reads).
    bool ConvertPlain(std::string_view cell, std::uint64_t& value) const;

private:
    static std::string_view StripPrefix(std::string_view cell, char letter)
    {
        if (cell.size() >= 2 && cell[0] == '0' && (cell[1] | 0x20) == letter)
            return cell.substr(2);
        return cell;
    }
    // 'x', 'b' or 'o' for a value written 0x..., 0b... or 0o... (either case); 0 for none.
    static char RadixPrefix(std::string_view cell)
    {
        if (cell.size() < 3 || cell[0] != '0')
            return 0;
        const char letter = static_cast<char>(cell[1] | 0x20);
        return letter == 'x' || letter == 'b' || letter == 'o' ? letter : 0;
    }
    static int BitsPerDigit(char prefix) { return prefix == 'x' ? 4 : prefix == 'o' ? 3 : 1; }
    bool AddCommon(std::string_view cell);
    void AddDecimal(std::string_view cell);
    void AddPrefixed(char prefix, std::string_view digits, unsigned all);
    void AddBinary(int digits, bool prefixed);

    bool IsPrefixed() const;
    EqzCsvColumnType LearntType() const;
    int LearntWidth() const;

    bool m_finished = false;
    EqzCsvColumnType m_type = eqzCsvText;
    int m_width = 0;
    std::int64_t m_values = 0;
    bool m_binary = true;
    bool m_hex = true;
    bool m_decimal = true;
    bool m_binaryPrefix = false;
    bool m_hexHint = false; // a 0x prefix or a digit a-f
    bool m_sameLength = true;
    int m_binaryDigits = 0; // most digits of a binary value
    int m_firstLength = -1;
    int m_hexDigits = 0;
    CqzUInt m_maxPositive;
    CqzUInt m_maxNegative; // largest magnitude of a negative value
    bool m_negative = false;
    std::int64_t m_prefixed = 0; // values with a radix prefix, all valid in their radix
    unsigned m_prefixKinds = 0;  // which prefixes were seen (1 x, 2 b, 4 o)
    bool m_prefixValid = true;
    int m_prefixBits = 0;
};
