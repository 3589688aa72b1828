#include "capture/CqzCaptureText.h"

namespace
{
// Bytes of a well-formed UTF-8 sequence starting at text[i] (not counting overlong or
// surrogate checks beyond the lead byte's range), or 0.
std::size_t SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead >= 0xf0 && lead <= 0xf4  ? 4
                               : lead >= 0xe0                ? 3
                               : lead >= 0xc2 && lead < 0xe0 ? 2
                                                             : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xc0) != 0x80)
            return 0;
    return length;
}

void AppendEscape(std::string& out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 15];
}
} // namespace

std::string CqzCaptureText::Printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f)
        {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t length = c >= 0x80 ? SequenceLength(text, i) : 0;
        // U+0080 to U+009F (C2 80 .. C2 9F) are control characters too.
        const bool c1 = length == 2 && c == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0;
        if (length == 0 || c1)
        {
            AppendEscape(out, c);
            ++i;
            continue;
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string CqzCaptureText::Quote(std::string_view text, std::size_t shown)
{
    return "'" + Printable(text.substr(0, shown)) + (text.size() > shown ? "...'" : "'");
}

std::string CqzCaptureText::ByteName(unsigned char byte)
{
    std::string name = "0x";
    static const char digits[] = "0123456789abcdef";
    name += digits[byte >> 4];
    name += digits[byte & 15];
    return name;
}
