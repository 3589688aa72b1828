#include "CqzColorName.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace
{

struct SqzNamedColor
{
    const char* name;
    COLORREF color;
};

const SqzNamedColor Colors[] = {
    {"red", RGB(230, 60, 60)},     {"green", RGB(60, 190, 80)},  {"blue", RGB(70, 120, 240)},
    {"yellow", RGB(230, 210, 40)}, {"cyan", RGB(40, 200, 210)},  {"magenta", RGB(210, 70, 200)},
    {"orange", RGB(250, 150, 40)}, {"grey", RGB(150, 150, 150)}, {"gray", RGB(150, 150, 150)},
    {"white", RGB(255, 255, 255)},
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

} // namespace

std::optional<COLORREF> CqzColorName::Parse(const std::string& name)
{
    if (name.size() == 7 && name[0] == '#')
    {
        int rgb[3];
        for (int i = 0; i < 3; ++i)
        {
            const int high = HexDigit(name[1 + 2 * i]), low = HexDigit(name[2 + 2 * i]);
            if (high < 0 || low < 0)
                return std::nullopt;
            rgb[i] = high * 16 + low;
        }
        return RGB(static_cast<BYTE>(rgb[0]), static_cast<BYTE>(rgb[1]), static_cast<BYTE>(rgb[2]));
    }
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const SqzNamedColor& named : Colors)
        if (lower == named.name)
            return named.color;
    return std::nullopt;
}

std::string CqzColorName::Format(COLORREF color)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(color), GetGValue(color),
                  GetBValue(color));
    return text;
}

std::string CqzColorName::List()
{
    std::string list;
    for (const SqzNamedColor& named : Colors)
        list += std::string(list.empty() ? "" : ", ") + named.name;
    return list + " or #rrggbb";
}

std::string CqzColorName::TerminalEscape(COLORREF color)
{
    return "\033[38;2;" + std::to_string(GetRValue(color)) + ";" +
           std::to_string(GetGValue(color)) + ";" + std::to_string(GetBValue(color)) + "m";
}
