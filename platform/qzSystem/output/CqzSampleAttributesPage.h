#pragma once
// One page of a paged attribute source with one record per row. Its records are kept as
// one-byte codes of the store's palette in a chunk of the store's code pool; a page given a
// record the full palette cannot name turns into plain records (a chunk of the record pool) and
// stays so. The store's memory must outlive the page.

#include "qzSystem/output/CqzDataProducer.h"
#include "qzSystem/output/CqzPageStore.h"
#include "qzSystem/output/CqzSampleAttributes.h"
#include "qzSystem/output/CqzSampleAttributesPageMemory.h"

#include <cstdint>
#include <type_traits>

// Reset writes default records (and their code) as zero bytes.
static_assert(CqzSampleAttributes().GetRaw() == 0 && sizeof(CqzSampleAttributes) == 8 &&
              std::is_trivially_copyable_v<CqzSampleAttributes>);

class CqzSampleAttributesPage
{
public:
    using Memory = CqzSampleAttributesPageMemory;
    static int GetMemoryArgument(int pageSize) { return pageSize; }

    // rowCount at most the page size the memory was made for. The records start as default
    // records.
    CqzSampleAttributesPage(std::int64_t rowCount, Memory& memory);
    ~CqzSampleAttributesPage();
    CqzSampleAttributesPage(const CqzSampleAttributesPage&) = delete;
    CqzSampleAttributesPage& operator=(const CqzSampleAttributesPage&) = delete;

    // `offset` is the row's place in the page; the caller keeps it (and count rows from it)
    // inside the page.
    CqzSampleAttributes Get(std::int64_t offset) const;
    void Set(std::int64_t offset, const CqzSampleAttributes& value) { Write(offset, &value, 1); }
    void Read(std::int64_t offset, CqzSampleAttributes* out, std::int64_t count) const;
    void Write(std::int64_t offset, const CqzSampleAttributes* values, std::int64_t count);
    // Writes choices[picks[i]] (picks below choiceCount, at most 256 choices) to count rows.
    void WriteChosen(std::int64_t offset, const std::uint8_t* picks,
                     const CqzSampleAttributes* choices, int choiceCount, std::int64_t count);
    // Back to default records, as before production.
    void Reset();
    // Whether the page keeps plain records (its records outgrew the palette).
    bool IsPlain() const { return m_records != nullptr; }

private:
    void MakePlain();

    Memory& m_memory;
    std::uint8_t* m_codes = nullptr;
    CqzSampleAttributes* m_records = nullptr;
    std::size_t m_count;
};

using CqzSampleAttributesPageStore =
    CqzPageStore<CqzSampleAttributesPage, CqzDataProducer<CqzSampleAttributes>>;
