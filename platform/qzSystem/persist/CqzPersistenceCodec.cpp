#include "qzSystem/persist/CqzPersistenceCodec.h"

#include "qzSystem/persist/CqzPersistenceException.h"

#include <algorithm>
#include <array>
#include <string>
#include <variant>

namespace
{
constexpr std::uint8_t Magic[4] = {'Q', 'Z', 'S', 'P'};

enum EqzEntryKind : std::uint8_t
{
    eqzKindTag = 1,
    eqzKindText = 2,
    eqzKindBool = 3,
    eqzKindUInt32 = 4,
    eqzKindBytes = 5
};

// Kind, name length and the smallest payload (a bool).
constexpr std::size_t MinEntrySize = 1 + 2 + 1;

constexpr std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i)
    {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> CrcTable = MakeCrcTable();

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::uint8_t* p, std::size_t n)
{
    std::size_t i = 0;
    while (i < n)
    {
        const std::uint8_t c = p[i];
        std::size_t extra = 0;
        if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if ((c & 0xF0) == 0xE0)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else if (c >= 0x80)
            return false;
        if (n - i <= extra)
            return false;
        std::uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (std::size_t k = 1; k <= extra; ++k)
        {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        static constexpr std::uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

class Encoder
{
public:
    std::vector<std::uint8_t> Run(const CqzPersistenceNode& root)
    {
        m_out.insert(m_out.end(), std::begin(Magic), std::end(Magic));
        PutU16(CqzPersistenceCodec::Version);
        PutU16(0);
        const std::size_t lengthAt = Reserve();
        Body(root);
        Patch(lengthAt);
        PutU32(CqzPersistenceCodec::Checksum(m_out.data(), m_out.size()));
        CheckSize();
        return std::move(m_out);
    }

private:
    void PutU8(std::uint8_t v) { m_out.push_back(v); }
    void PutU16(std::uint16_t v)
    {
        PutU8(static_cast<std::uint8_t>(v));
        PutU8(static_cast<std::uint8_t>(v >> 8));
    }
    void PutU32(std::uint32_t v)
    {
        for (int shift = 0; shift < 32; shift += 8)
            PutU8(static_cast<std::uint8_t>(v >> shift));
    }
    void PutBlock(const void* data, std::size_t size)
    {
        if (size > CqzPersistenceCodec::MaxSize)
            TooLarge();
        PutU32(static_cast<std::uint32_t>(size));
        const auto* p = static_cast<const std::uint8_t*>(data);
        m_out.insert(m_out.end(), p, p + size);
        CheckSize();
    }
    std::size_t Reserve()
    {
        PutU32(0);
        return m_out.size();
    }
    // Writes the number of bytes that followed the placeholder ending at 'end'.
    void Patch(std::size_t end)
    {
        CheckSize();
        const auto length = static_cast<std::uint32_t>(m_out.size() - end);
        for (int k = 0; k < 4; ++k)
            m_out[end - 4 + static_cast<std::size_t>(k)] =
                static_cast<std::uint8_t>(length >> (8 * k));
    }
    void CheckSize() const
    {
        if (m_out.size() > CqzPersistenceCodec::MaxSize)
            TooLarge();
    }
    [[noreturn]] static void TooLarge()
    {
        throw CqzPersistenceException("setup too large: more than " +
                                      std::to_string(CqzPersistenceCodec::MaxSize) + " bytes");
    }

    void Body(const CqzPersistenceNode& node)
    {
        PutU32(static_cast<std::uint32_t>(node.GetEntries().size()));
        for (const auto& entry : node.GetEntries())
            Entry(entry);
    }
    void Entry(const CqzPersistenceNode::Entry& entry)
    {
        if (entry.name.size() > CqzPersistenceCodec::MaxNameLength)
            throw CqzPersistenceException("setup name longer than 65535 bytes");
        PutU8(entry.child ? std::uint8_t{eqzKindTag}
                          : static_cast<std::uint8_t>(eqzKindText + entry.value.index()));
        PutU16(static_cast<std::uint16_t>(entry.name.size()));
        m_out.insert(m_out.end(), entry.name.begin(), entry.name.end());
        if (entry.child)
        {
            const std::size_t lengthAt = Reserve();
            Body(*entry.child);
            Patch(lengthAt);
            return;
        }
        std::visit([this](const auto& v) { Value(v); }, entry.value);
    }
    void Value(const std::string& text) { PutBlock(text.data(), text.size()); }
    void Value(bool flag) { PutU8(flag ? 1 : 0); }
    void Value(std::uint32_t number) { PutU32(number); }
    void Value(const std::vector<std::uint8_t>& bytes) { PutBlock(bytes.data(), bytes.size()); }

    std::vector<std::uint8_t> m_out;
};

class Decoder
{
public:
    Decoder(const std::uint8_t* data, std::size_t size) : m_data(data), m_limit(size) {}

    std::unique_ptr<CqzPersistenceNode> Run()
    {
        Header();
        auto root = std::make_unique<CqzPersistenceNode>();
        m_limit -= CqzPersistenceCodec::ChecksumSize;
        Body(*root, 0);
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw CqzPersistenceException("corrupt setup data at byte " + std::to_string(m_pos) + ": " +
                                      what);
    }
    void Need(std::size_t n, const char* what) const
    {
        if (n > m_limit - m_pos)
            Fail(std::string(what) + " needs " + std::to_string(n) + " bytes but only " +
                 std::to_string(m_limit - m_pos) + " are left");
    }
    std::uint8_t U8(const char* what)
    {
        Need(1, what);
        return m_data[m_pos++];
    }
    std::uint16_t U16(const char* what)
    {
        Need(2, what);
        const auto v = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    std::uint32_t U32(const char* what)
    {
        Need(4, what);
        std::uint32_t v = 0;
        for (int k = 3; k >= 0; --k)
            v = (v << 8) | m_data[m_pos + static_cast<std::size_t>(k)];
        m_pos += 4;
        return v;
    }
    std::string Text(std::size_t n, const char* what)
    {
        Need(n, what);
        if (!IsValidUtf8(m_data + m_pos, n))
            Fail(std::string(what) + " is not valid UTF-8");
        std::string text(reinterpret_cast<const char*>(m_data + m_pos), n);
        m_pos += n;
        return text;
    }
    std::vector<std::uint8_t> Block(std::size_t n)
    {
        Need(n, "byte block");
        std::vector<std::uint8_t> bytes(m_data + m_pos, m_data + m_pos + n);
        m_pos += n;
        return bytes;
    }

    void Header()
    {
        const std::size_t size = m_limit;
        if (size > CqzPersistenceCodec::MaxSize)
            Fail("setup data of " + std::to_string(size) + " bytes exceeds the limit of " +
                 std::to_string(CqzPersistenceCodec::MaxSize));
        if (size < sizeof Magic || !std::equal(std::begin(Magic), std::end(Magic), m_data))
            Fail("not setup data (magic word missing)");
        if (size < CqzPersistenceCodec::HeaderSize + CqzPersistenceCodec::ChecksumSize)
            Fail("setup data truncated in its header");
        m_pos = sizeof Magic;
        const std::uint16_t version = U16("version");
        if (version != CqzPersistenceCodec::Version)
            Fail("unsupported setup version " + std::to_string(version));
        if (U16("reserved field") != 0)
            Fail("reserved field is not 0");
        const std::uint32_t length = U32("body length");
        const std::size_t expected =
            size - CqzPersistenceCodec::HeaderSize - CqzPersistenceCodec::ChecksumSize;
        if (length != expected)
            Fail("body length " + std::to_string(length) + " does not match the " +
                 std::to_string(expected) + " bytes present (truncated or trailing data)");
        const std::size_t trailer = size - CqzPersistenceCodec::ChecksumSize;
        std::uint32_t stored = 0;
        for (int k = 3; k >= 0; --k)
            stored = (stored << 8) | m_data[trailer + static_cast<std::size_t>(k)];
        if (stored != CqzPersistenceCodec::Checksum(m_data, trailer))
            Fail("checksum mismatch");
    }

    // Reads one tag body that ends exactly at m_limit.
    void Body(CqzPersistenceNode& node, int depth)
    {
        const std::uint32_t count = U32("entry count");
        if (count > (m_limit - m_pos) / MinEntrySize)
            Fail("tag claims " + std::to_string(count) + " entries but only " +
                 std::to_string(m_limit - m_pos) + " bytes are left");
        for (std::uint32_t i = 0; i < count; ++i)
            Entry(node, depth);
        if (m_pos != m_limit)
            Fail("tag has " + std::to_string(m_limit - m_pos) + " unused bytes");
    }
    void Entry(CqzPersistenceNode& node, int depth)
    {
        const std::uint8_t kind = U8("entry kind");
        const std::string name = Text(U16("name length"), "name");
        switch (kind)
        {
        case eqzKindTag:
            return Tag(node.AppendTag(name), depth + 1);
        case eqzKindText:
            return node.AppendValue(name, Text(U32("text length"), "text"));
        case eqzKindBool:
            return node.AppendValue(name, Bool());
        case eqzKindUInt32:
            return node.AppendValue(name, U32("unsigned value"));
        case eqzKindBytes:
            return node.AppendValue(name, Block(U32("block length")));
        default:
            m_pos -= 3 + name.size();
            Fail("unknown entry kind " + std::to_string(kind));
        }
    }
    void Tag(CqzPersistenceNode& child, int depth)
    {
        const std::uint32_t length = U32("tag length");
        Need(length, "tag body");
        if (depth > CqzPersistenceCodec::MaxDepth)
            Fail("tags nested deeper than " + std::to_string(CqzPersistenceCodec::MaxDepth) +
                 " levels");
        const std::size_t outer = m_limit;
        m_limit = m_pos + length;
        Body(child, depth);
        m_limit = outer;
    }
    bool Bool()
    {
        const std::uint8_t v = U8("bool value");
        if (v > 1)
            Fail("bool value " + std::to_string(v) + " is neither 0 nor 1");
        return v == 1;
    }

    const std::uint8_t* m_data;
    std::size_t m_pos = 0;
    std::size_t m_limit; // end of the region being read
};
} // namespace

std::vector<std::uint8_t> CqzPersistenceCodec::Encode(const CqzPersistenceNode& root)
{
    return Encoder().Run(root);
}

std::unique_ptr<CqzPersistenceNode> CqzPersistenceCodec::Decode(const std::uint8_t* data,
                                                                std::size_t size)
{
    return Decoder(data, size).Run();
}

std::uint32_t CqzPersistenceCodec::Checksum(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = CrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
