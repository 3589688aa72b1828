#pragma once
// The host's 16-byte identifier (a GUID value). A fresh one holds a new random GUID; two are
// equal when all 16 bytes are equal. Used for name, instance, type, label and table ids.

#include "mfc/CString.h"
#include "win/Guid.h"

#include <compare>
#include <cstddef>
#include <functional>

class CqzID
{
public:
    CqzID();
    explicit CqzID(const GUID& guid) : m_guid(guid) {}

    // Parses the registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces optional,
    // hexadecimal digits in either case). Returns false and keeps the value on malformed text.
    bool SetValue(const CString& text);
    void SetValue(const GUID& guid) { m_guid = guid; }
    const GUID& GetGUID() const { return m_guid; }
    // The registry form in upper case with braces.
    CString ToString() const;

    friend bool operator==(const CqzID& a, const CqzID& b) { return a.m_guid == b.m_guid; }
    friend std::strong_ordering operator<=>(const CqzID& a, const CqzID& b);

private:
    GUID m_guid;
};

template <> struct std::hash<CqzID>
{
    std::size_t operator()(const CqzID& id) const noexcept;
};
