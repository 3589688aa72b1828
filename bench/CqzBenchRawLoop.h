#pragma once
// The anchor a person without the tool would write: the workload's columns copied out of the
// column stores into plain typed arrays (std::vector<std::uint32_t> and so on) before any
// timing, then one loop over them writing the same 64-bit records as the filter tool, with
// the same first-match decisions. Texts are tested once per distinct text (a table of
// answers indexed by the text number), as an array programmer would. The arrays can also be
// written to files for the numpy comparison.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CqzBenchWorkload;

class CqzBenchRawLoop
{
public:
    explicit CqzBenchRawLoop(const CqzBenchWorkload& workload);

    // The loop, allocating its record array inside the timing (as the tool allocates its
    // output pages); returns the seconds taken. The records are kept for Checksum and Get.
    double RunAllocating();
    // The loop again into the record array it already has (memory already touched).
    double RunTouched();
    std::int64_t GetRowCount() const { return static_cast<std::int64_t>(m_addr.size()); }
    std::uint64_t GetRecord(std::int64_t row) const { return m_records[std::size_t(row)]; }
    // The sum of all records, modulo 2^64 (the numpy run reports the same sum).
    std::uint64_t Checksum() const;

    // The typed arrays, for the vectorised loop (CqzBenchVectorLoop). msg and textAnswers are
    // null without texts; textAnswers[t] is 1 when text t holds "err" (any case), else 0.
    struct SqzArrays
    {
        std::size_t rows = 0;
        const std::uint32_t* addr = nullptr;
        const std::uint16_t* data = nullptr;
        const std::uint8_t* stat = nullptr;
        const std::uint32_t* msg = nullptr;
        const std::uint32_t* textAnswers = nullptr;
    };
    SqzArrays GetArrays() const;

    // Writes addr.u32, data.u16, stat.u8 and, with texts, msg.u32 and texts.txt (one text per
    // line, in text-number order) into folder.
    void WriteArrays(const std::string& folder) const;

private:
    void Loop(std::uint64_t* records) const;

    std::vector<std::uint32_t> m_addr;
    std::vector<std::uint16_t> m_data;
    std::vector<std::uint8_t> m_stat;
    std::vector<std::uint32_t> m_msg;
    std::vector<std::wstring> m_texts;
    // Per text number: whether the MSG term matches it (32 bits wide, so that vector units can
    // gather them).
    std::vector<std::uint32_t> m_textAnswers;
    std::unique_ptr<std::uint64_t[]> m_records;
};
