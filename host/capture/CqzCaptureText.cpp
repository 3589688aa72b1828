#include "capture/CqzCaptureText.h"

#include <algorithm>

namespace
{
// The length of the well-formed UTF-8 sequence at `at` (shortest form, no surrogates, at most
// U+10FFFF), 0 when there is none.
std::size_t SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
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

void AppendEscape(std::string& out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

// Bytes that are not UTF-8 as \xNN; with `controls` also control bytes and C1 controls.
std::string Escaped(std::string_view text, bool controls)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c >= 0x80 ? SequenceLength(text, i) : 1;
        // U+0080 to U+009F (C2 80 .. C2 9F) are control characters too.
        const bool c1 = length == 2 && c == 0xc2 && static_cast<unsigned char>(text[i + 1]) < 0xa0;
        const bool control = c < 0x20 || c == 0x7f || c1;
        if (length == 0 || (controls && control))
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
} // namespace

std::string CqzCaptureText::Printable(std::string_view text)
{
    return Escaped(text, true);
}

std::string CqzCaptureText::EscapeBroken(std::string_view text)
{
    return Escaped(text, false);
}

CString CqzCaptureText::Value(std::string_view text)
{
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return CString::FromUtf8(ascii ? std::string(text) : EscapeBroken(text));
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
