#pragma once
// Builds setup data byte by byte, so that tests can hand the reader data our writer would never
// produce. Finish() frames a root body with the header and a correct checksum.

#include "qzSystem/persist/CqzPersistenceCodec.h"

#include <cstdint>
#include <string>
#include <vector>

class RawSetup
{
public:
    using Bytes = std::vector<std::uint8_t>;

    RawSetup& U8(std::uint8_t v)
    {
        m_bytes.push_back(v);
        return *this;
    }
    RawSetup& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    RawSetup& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    RawSetup& Raw(const Bytes& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    RawSetup& Raw(const std::string& text) { return Raw(Bytes(text.begin(), text.end())); }
    // Kind and name of an entry.
    RawSetup& Entry(std::uint8_t kind, const std::string& name)
    {
        return U8(kind).U16(static_cast<std::uint16_t>(name.size())).Raw(name);
    }
    RawSetup& Text(const std::string& name, const std::string& text)
    {
        return Entry(2, name).U32(static_cast<std::uint32_t>(text.size())).Raw(text);
    }
    RawSetup& Tag(const std::string& name, const Bytes& body)
    {
        return Entry(1, name).U32(static_cast<std::uint32_t>(body.size())).Raw(body);
    }
    const Bytes& Get() const { return m_bytes; }

    static Bytes Finish(const Bytes& body, std::uint16_t version = 1, std::uint16_t reserved = 0)
    {
        RawSetup all;
        all.Raw(std::string("QZSP")).U16(version).U16(reserved);
        all.U32(static_cast<std::uint32_t>(body.size())).Raw(body);
        return all.U32(CqzPersistenceCodec::Checksum(all.m_bytes.data(), all.m_bytes.size())).Get();
    }

private:
    Bytes m_bytes;
};
