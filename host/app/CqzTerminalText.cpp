#include "CqzTerminalText.h"

namespace
{

void Escape(std::string& out, unsigned char byte)
{
    const char* const digits = "0123456789abcdef";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

// The length of the well-formed UTF-8 sequence at `at` (shortest form, no surrogates, at most
// U+10FFFF), 0 when there is none.
std::size_t SequenceLength(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
    if (lead < 0xc2 || lead > 0xf4 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(at + i) & 0xc0) != 0x80)
            return 0;
    const unsigned char second = byte(at + 1);
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second >= 0xa0) ||
        (lead == 0xf0 && second < 0x90) || (lead == 0xf4 && second >= 0x90))
        return 0;
    return length;
}

} // namespace

std::string CqzTerminalText::Sanitize(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();)
    {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80)
        {
            if (byte < 0x20 || byte == 0x7f)
                Escape(out, byte);
            else
                out += utf8[i];
            ++i;
            continue;
        }
        const std::size_t length = SequenceLength(utf8, i);
        // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F.
        if (length == 0 || (byte == 0xc2 && static_cast<unsigned char>(utf8[i + 1]) < 0xa0))
        {
            Escape(out, byte);
            ++i;
            continue;
        }
        out.append(utf8, i, length);
        i += length;
    }
    return out;
}
