#pragma once
// Colour names of the command line and their COLORREF values (0x00BBGGRR): red, green, blue,
// yellow, cyan, magenta, orange, grey (or gray), white, or #rrggbb.

#include "win/WinTypes.h"

#include <optional>
#include <string>

class CqzColorName
{
public:
    // The colour of a name (any case), or nothing for an unknown name or a malformed #rrggbb.
    static std::optional<COLORREF> Parse(const std::string& name);
    // "#rrggbb".
    static std::string Format(COLORREF color);
    // The 24-bit terminal escape that draws the text after it in this colour.
    static std::string TerminalEscape(COLORREF color);
    // The names a person may use, for messages and help.
    static std::string List();
};
