#pragma once
// Makes text that comes from a file or from the user safe to write to a terminal: control
// bytes (C0, DEL, the C1 controls) and bytes that are not UTF-8 are written as \xNN, so that
// a capture's label names, texts or a setup's names can not move the cursor, change colours
// or retitle the window. Used by the listing, --labels, the errors and the notes.

#include <string>

class CqzTerminalText
{
public:
    static std::string Sanitize(const std::string& utf8);
};
