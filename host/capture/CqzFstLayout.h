#pragma once
// The block structure of an FST file, checked before the file reaches the FST reader (which
// trusts the lengths it finds and may read past its buffers or stop the program on damaged
// data): a header block of the right length first, then blocks whose lengths stay within the
// file, of known types, value change blocks in time order with their time tables inside them,
// and at least one hierarchy block. A file wrapped whole in gzip (block type 254) is checked
// as far as its wrapper. The hierarchy (the declarations) is unpacked and walked record by
// record: each name must end and each number be complete within it, as the reader reads them
// without looking for the end. Also reads the value change blocks' time tables: every time of the
// dump, including those at which nothing changes (the reader reports changes only). Keeps the
// file open while it lives.

#include <cstdint>
#include <string>
#include <vector>

class CqzFstLayout
{
public:
    struct SqzBlock
    {
        std::uint64_t at = 0; // the offset of its type byte
        std::uint64_t endOffset = 0;
        std::uint64_t timesUnpacked = 0; // the time table: its sizes and entries
        std::uint64_t timesPacked = 0;
        std::uint64_t timeCount = 0;
    };

    // Throws CqzCaptureError ("path: what is wrong") for a file that is not a well-formed
    // FST file.
    explicit CqzFstLayout(const std::string& path);
    ~CqzFstLayout();
    CqzFstLayout(const CqzFstLayout&) = delete;
    CqzFstLayout& operator=(const CqzFstLayout&) = delete;

    std::uint64_t GetSize() const { return m_size; }
    // The value change blocks, in file order (the reader reads them all, whatever the header
    // counts).
    const std::vector<SqzBlock>& GetBlocks() const { return m_blocks; }
    // The times of a value change block in increasing order (in the file's units); throws
    // CqzCaptureError when its time table is damaged.
    std::vector<std::uint64_t> ReadTimes(const SqzBlock& block) const;

    // True when the bytes start as an FST file does (a header block, or a gzip wrapper).
    static bool LooksLikeFst(const unsigned char* bytes, std::size_t size);

private:
    void CheckHeader();
    void CheckBlocks();
    void CheckWalkFrom(std::uint64_t at) const;
    void CheckValueBlock(std::uint64_t at, std::uint64_t length);
    void CheckGeometry(std::uint64_t at, std::uint64_t length);
    void CheckHierarchy(std::uint64_t at, std::uint64_t length, unsigned char type) const;
    std::vector<unsigned char> Bytes(std::uint64_t at, std::uint64_t count) const;
    std::uint64_t Read64(std::uint64_t at) const;
    [[noreturn]] void Fail(const std::string& what) const;

    std::string m_path;
    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::uint64_t m_varCount = 0;
    std::uint64_t m_maxHandle = 0;
    std::uint64_t m_lastEnd = 0;    // the end time of the last value change block
    std::vector<SqzBlock> m_blocks;
};
