#pragma once
// Texts that come from a capture file, made safe to show: control bytes, C1 control
// characters and bytes that are not UTF-8 are written as \xNN, so that nothing from a file
// reaches a terminal raw. Used for label names, notes and error messages.

#include "mfc/CString.h"

#include <string>
#include <string_view>

class CqzCaptureText
{
public:
    static std::string Printable(std::string_view text);
    // Only the bytes that are not UTF-8 as \xNN (the text is otherwise kept as it is).
    static std::string EscapeBroken(std::string_view text);
    // A text value of a capture as stored: broken UTF-8 as \xNN, never U+FFFD.
    static CString Value(std::string_view text);
    // 'text' in quotes, printable, cut after `shown` bytes ("...'" then).
    static std::string Quote(std::string_view text, std::size_t shown = 40);
    // "0x00" for a byte, as error messages name it.
    static std::string ByteName(unsigned char byte);
};
