#include "CqzTerminalText.h"

#include "capture/CqzCaptureText.h"

std::string CqzTerminalText::Sanitize(const std::string& utf8)
{
    return CqzCaptureText::Printable(utf8);
}
