#include "capture/CqzFstLayout.h"

#include "capture/CqzCaptureError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <lz4.h>
#include <zlib.h>

namespace
{
// Block types of the format.
enum : unsigned char
{
    kHeader = 0,
    kValues = 1,
    kBlackout = 2,
    kGeometry = 3,
    kHierarchy = 4,
    kValuesAlias = 5,
    kHierarchyLz4 = 6,
    kHierarchyLz4Duo = 7,
    kValuesAlias2 = 8,
    kGzipWrapper = 254,
    kUnfinished = 255
};
// The header block's length field: the length itself and 321 bytes of header.
constexpr std::uint64_t kHeaderLength = 329;
// Offsets within the header block.
constexpr std::uint64_t kEndianAt = 25;
constexpr std::uint64_t kVarCountAt = 49;
constexpr std::uint64_t kMaxHandleAt = 57;
constexpr double kEndianTest = 2.7182818284590452354;
// No deflate, LZ4 or FastLZ stream expands by more than this factor.
constexpr std::uint64_t kMaxExpansion = 1100;
// A value change block: its length, start and end times, memory needed, and a time table
// trailer of three 64-bit numbers.
constexpr std::uint64_t kValueBlockMinimum = 8 * 4 + 24;

std::string Offset(std::uint64_t at)
{
    return "offset " + std::to_string(at);
}

bool Expands(std::uint64_t packed, std::uint64_t unpacked)
{
    return unpacked != packed && unpacked / kMaxExpansion > packed;
}
} // namespace

CqzFstLayout::CqzFstLayout(const std::string& path) : m_path(path)
{
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        Fail(std::string("cannot open: ") + std::strerror(errno));
    struct stat info = {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(m_fd);
        throw CqzCaptureError(path, 0, "not a regular file; an FST file is read in place");
    }
    m_size = static_cast<std::uint64_t>(info.st_size);
    try
    {
        CheckHeader();
        CheckBlocks();
    }
    catch (...)
    {
        ::close(m_fd);
        throw;
    }
}

CqzFstLayout::~CqzFstLayout()
{
    ::close(m_fd);
}

bool CqzFstLayout::LooksLikeFst(const unsigned char* bytes, std::size_t size)
{
    if (size < 9)
        return false;
    std::uint64_t length = 0;
    for (int i = 1; i < 9; ++i)
        length = length << 8 | bytes[i];
    // A gzip wrapper: its length, the unpacked length, then the gzip stream's magic bytes.
    const bool wrapped =
        bytes[0] == kGzipWrapper && size >= 19 && bytes[17] == 0x1f && bytes[18] == 0x8b;
    return (bytes[0] == kHeader && length == kHeaderLength) || wrapped;
}

void CqzFstLayout::Fail(const std::string& what) const
{
    throw CqzCaptureError(m_path, 0, what);
}

std::uint64_t CqzFstLayout::Read64(std::uint64_t at) const
{
    unsigned char bytes[8];
    if (at > m_size || m_size - at < 8 ||
        ::pread(m_fd, bytes, 8, static_cast<off_t>(at)) != 8)
        Fail("the file ends inside a block at " + Offset(at) + " (cut short?)");
    std::uint64_t value = 0;
    for (unsigned char b : bytes)
        value = value << 8 | b;
    return value;
}

void CqzFstLayout::CheckHeader()
{
    if (m_size == 0)
        Fail("the file is empty");
    unsigned char head[19] = {};
    const auto got = ::pread(m_fd, head, sizeof head, 0);
    if (got < 0)
        Fail(std::string("cannot read: ") + std::strerror(errno));
    if (!LooksLikeFst(head, static_cast<std::size_t>(got)))
        Fail("not an FST file (it does not start with an FST header block)");
    if (head[0] == kGzipWrapper)
        return;
    if (m_size < 1 + kHeaderLength)
        Fail("the file ends inside its header (" + std::to_string(m_size) + " bytes)");
    std::uint64_t endian = Read64(kEndianAt);
    double test = 0;
    std::memcpy(&test, &endian, 8);
    const std::uint64_t swapped = __builtin_bswap64(endian);
    double other = 0;
    std::memcpy(&other, &swapped, 8);
    if (test != kEndianTest && other != kEndianTest)
        Fail("the header is damaged (its byte order test does not match)");
    m_varCount = Read64(kVarCountAt);
    m_maxHandle = Read64(kMaxHandleAt);
    if (m_maxHandle > m_varCount)
        Fail("the header is damaged (" + std::to_string(m_maxHandle) + " value handles for " +
             std::to_string(m_varCount) + " variables)");
}

void CqzFstLayout::CheckBlocks()
{
    bool hierarchy = false;
    for (std::uint64_t at = 0; at < m_size;)
    {
        unsigned char type = 0;
        if (::pread(m_fd, &type, 1, static_cast<off_t>(at)) != 1)
            Fail("cannot read the block at " + Offset(at));
        if (type == kUnfinished)
        {
            // The writer stopped while writing this block; the blocks before it stand.
            CheckWalkFrom(at);
            break;
        }
        const std::uint64_t length = Read64(at + 1);
        if (length < 8 || length > m_size - at - 1)
            Fail("the block at " + Offset(at) + " (type " + std::to_string(type) + ") claims " +
                 std::to_string(length) + " bytes, beyond the file's " +
                 std::to_string(m_size) + " (cut short or damaged)");
        if (type == kGzipWrapper)
        {
            if (at != 0 || length < 16)
                Fail("misplaced or damaged gzip wrapper block at " + Offset(at));
            return;
        }
        if (type > kValuesAlias2 || (type == kHeader) != (at == 0))
            Fail("unknown or misplaced block type " + std::to_string(type) + " at " +
                 Offset(at));
        if (type == kHeader && length != kHeaderLength)
            Fail("the header block has length " + std::to_string(length) + ", not " +
                 std::to_string(kHeaderLength));
        if (type == kValues || type == kValuesAlias || type == kValuesAlias2)
            CheckValueBlock(at, length);
        else if (type == kGeometry)
            CheckGeometry(at, length);
        if (type == kHierarchy || type == kHierarchyLz4 || type == kHierarchyLz4Duo)
        {
            CheckHierarchy(at, length, type);
            hierarchy = true;
        }
        at += 1 + length;
    }
    if (!hierarchy)
        Fail("the file has no hierarchy block (no declarations)");
}

// From an unfinished block on, the reader walks on by the lengths it finds (a type byte, then
// a 64-bit length) to the end of the file. A length that takes its position past the largest
// file offset sends it back into the file to go round for ever, and a length cut by the end of
// the file is read from bytes that are not there: both are refused.
void CqzFstLayout::CheckWalkFrom(std::uint64_t at) const
{
    constexpr std::uint64_t kLargestOffset = std::numeric_limits<std::int64_t>::max();
    while (at < m_size)
    {
        const std::uint64_t length = Read64(at + 1);
        if (length > kLargestOffset - at - 1)
            Fail("the block at " + Offset(at) + " claims " + std::to_string(length) +
                 " bytes, past any file offset (damaged)");
        at += 1 + length;
    }
}

void CqzFstLayout::CheckValueBlock(std::uint64_t at, std::uint64_t length)
{
    if (length < kValueBlockMinimum)
        Fail("the value change block at " + Offset(at) + " is too short (" +
             std::to_string(length) + " bytes)");
    const std::uint64_t begin = Read64(at + 9);
    const std::uint64_t end = Read64(at + 17);
    const std::uint64_t memory = Read64(at + 25);
    const std::uint64_t trailer = at + 1 + length - 24;
    const std::uint64_t unpacked = Read64(trailer);
    const std::uint64_t packed = Read64(trailer + 8);
    const std::uint64_t items = Read64(trailer + 16);
    const std::uint64_t room = length - kValueBlockMinimum;
    if (begin > end || (!m_blocks.empty() && begin < m_lastEnd))
        Fail("the value change block at " + Offset(at) + " has times out of order");
    if (packed > room || Expands(packed, unpacked) || items > unpacked ||
        unpacked / 10 > items)
        Fail("the time table of the value change block at " + Offset(at) + " is damaged");
    if (Expands(length, memory))
        Fail("the value change block at " + Offset(at) + " claims " + std::to_string(memory) +
             " bytes of values, more than its " + std::to_string(length) + " bytes can hold");
    m_lastEnd = end;
    m_blocks.push_back({at, at + 1 + length, unpacked, packed, items});
}

namespace
{
// Reads a varint (7 bits a byte, low first) of at most 10 bytes; false when it does not end
// within the bytes.
bool SkipVarint(const std::vector<unsigned char>& bytes, std::size_t& at)
{
    for (int n = 0; n < 10 && at < bytes.size(); ++n)
        if ((bytes[at++] & 0x80) == 0)
            return true;
    return false;
}

bool SkipName(const std::vector<unsigned char>& bytes, std::size_t& at)
{
    while (at < bytes.size())
        if (bytes[at++] == 0)
            return true;
    return false;
}

// Hierarchy record tags besides the variable types (0 to 29).
constexpr unsigned char kAttributeBegin = 252;
constexpr unsigned char kAttributeEnd = 253;
constexpr unsigned char kScopeTag = 254;
constexpr unsigned char kUpscopeTag = 255;
constexpr unsigned char kLastVarType = 29;

// True when every record the reader would read ends within the bytes.
bool HierarchyIsWhole(const std::vector<unsigned char>& h)
{
    for (std::size_t at = 0; at < h.size();)
    {
        const unsigned char tag = h[at++];
        bool whole = true;
        if (tag == kScopeTag)
            whole = ++at <= h.size() && SkipName(h, at) && SkipName(h, at);
        else if (tag == kAttributeBegin)
            whole = (at += 2) <= h.size() && SkipName(h, at) && SkipVarint(h, at);
        else if (tag <= kLastVarType)
            whole = ++at <= h.size() && SkipName(h, at) && SkipVarint(h, at) &&
                    SkipVarint(h, at);
        else if (tag != kUpscopeTag && tag != kAttributeEnd)
            return true; // the reader stops at any other tag
        if (!whole)
            return false;
    }
    return true;
}

bool Inflate(const std::vector<unsigned char>& packed, std::vector<unsigned char>& out)
{
    if (packed.size() < 2 || packed[0] != 0x1f || packed[1] != 0x8b)
    {
        // Not gzip: read as it is.
        if (packed.size() < out.size())
            return false;
        std::copy(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(out.size()),
                  out.begin());
        return true;
    }
    z_stream z = {};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return false;
    z.next_in = const_cast<unsigned char*>(packed.data());
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    const bool whole = (rc == Z_STREAM_END || rc == Z_OK || rc == Z_BUF_ERROR) && z.avail_out == 0;
    inflateEnd(&z);
    return whole;
}

bool Lz4(const unsigned char* packed, std::size_t size, std::vector<unsigned char>& out)
{
    return size <= static_cast<std::size_t>(std::numeric_limits<int>::max()) &&
           out.size() <= static_cast<std::size_t>(std::numeric_limits<int>::max()) &&
           LZ4_decompress_safe_partial(reinterpret_cast<const char*>(packed),
                                       reinterpret_cast<char*>(out.data()), static_cast<int>(size),
                                       static_cast<int>(out.size()),
                                       static_cast<int>(out.size())) ==
               static_cast<int>(out.size());
}
} // namespace

std::vector<unsigned char> CqzFstLayout::Bytes(std::uint64_t at, std::uint64_t count) const
{
    std::vector<unsigned char> bytes(count);
    if (::pread(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(at)) !=
        static_cast<ssize_t>(bytes.size()))
        Fail("cannot read " + std::to_string(count) + " bytes at " + Offset(at));
    return bytes;
}

void CqzFstLayout::CheckHierarchy(std::uint64_t at, std::uint64_t length,
                                  unsigned char type) const
{
    const auto damaged = [&] { Fail("the hierarchy block at " + Offset(at) + " is damaged"); };
    if (length < 16)
        damaged();
    const std::uint64_t unpacked = Read64(at + 9);
    const std::vector<unsigned char> packed = Bytes(at + 17, length - 16);
    if (Expands(packed.size(), unpacked))
        damaged();
    std::vector<unsigned char> hierarchy(unpacked);
    if (type == kHierarchy && !Inflate(packed, hierarchy))
        damaged();
    if (type == kHierarchyLz4 && !Lz4(packed.data(), packed.size(), hierarchy))
        damaged();
    if (type == kHierarchyLz4Duo)
    {
        std::size_t skip = 0;
        std::uint64_t middle = 0;
        for (int shift = 0; skip < packed.size() && shift < 64; shift += 7)
        {
            middle |= static_cast<std::uint64_t>(packed[skip] & 0x7f) << shift;
            if ((packed[skip++] & 0x80) == 0)
                break;
        }
        if (Expands(packed.size(), middle) || Expands(middle, unpacked))
            damaged();
        std::vector<unsigned char> once(middle);
        if (!Lz4(packed.data() + skip, packed.size() - skip, once) ||
            !Lz4(once.data(), once.size(), hierarchy))
            damaged();
    }
    if (!HierarchyIsWhole(hierarchy))
        damaged();
}

std::vector<std::uint64_t> CqzFstLayout::ReadTimes(const SqzBlock& block) const
{
    const auto damaged = [&] { Fail("the time table of the value change block at " +
                                    Offset(block.at) + " is damaged"); };
    std::vector<unsigned char> packed(block.timesPacked);
    const std::uint64_t from = block.endOffset - 24 - block.timesPacked;
    if (::pread(m_fd, packed.data(), packed.size(), static_cast<off_t>(from)) !=
        static_cast<ssize_t>(packed.size()))
        damaged();
    std::vector<unsigned char> table(block.timesUnpacked);
    if (block.timesUnpacked != block.timesPacked)
    {
        uLongf length = static_cast<uLongf>(table.size());
        if (::uncompress(table.data(), &length, packed.data(), static_cast<uLong>(packed.size())) !=
                Z_OK ||
            length != table.size())
            damaged();
    }
    else
        table.swap(packed);
    std::vector<std::uint64_t> times;
    times.reserve(block.timeCount);
    std::uint64_t time = 0;
    for (std::size_t i = 0; times.size() < block.timeCount;)
    {
        std::uint64_t delta = 0;
        for (int shift = 0;; shift += 7)
        {
            if (i == table.size() || shift > 63)
                damaged();
            delta |= static_cast<std::uint64_t>(table[i] & 0x7f) << shift;
            if ((table[i++] & 0x80) == 0)
                break;
        }
        time += delta;
        times.push_back(time);
    }
    return times;
}

void CqzFstLayout::CheckGeometry(std::uint64_t at, std::uint64_t length)
{
    if (length < 24)
        Fail("the geometry block at " + Offset(at) + " is too short");
    const std::uint64_t unpacked = Read64(at + 9);
    const std::uint64_t handles = Read64(at + 17);
    if (Expands(length - 24, unpacked) || handles > unpacked || handles > m_varCount)
        Fail("the geometry block at " + Offset(at) + " is damaged (" + std::to_string(handles) +
             " handles in " + std::to_string(unpacked) + " bytes)");
}
