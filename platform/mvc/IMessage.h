#pragma once
// A message that a subject hands to its observers; receivers tell kinds apart by type id.

class CString;

namespace foundation
{

class IMessage
{
public:
    virtual ~IMessage() = default;
    virtual unsigned int GetTypeID() const = 0;
    // Writes a readable description of the message; may leave the text as it is.
    virtual void Sprint(CString& text) const = 0;
};

} // namespace foundation
