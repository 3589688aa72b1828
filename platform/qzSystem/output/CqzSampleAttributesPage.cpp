#include "qzSystem/output/CqzSampleAttributesPage.h"

#include <cstring>

CqzSampleAttributesPage::CqzSampleAttributesPage(std::int64_t rowCount, Memory& memory)
    : m_memory(memory), m_count(static_cast<std::size_t>(rowCount))
{
    bool zeroed = false;
    m_codes = static_cast<std::uint8_t*>(memory.GetCodePool().Take(&zeroed));
    if (!zeroed)
        Reset();
}

CqzSampleAttributesPage::~CqzSampleAttributesPage()
{
    if (IsPlain())
        m_memory.GetRecordPool().Give(m_records);
    else
        m_memory.GetCodePool().Give(m_codes);
}

CqzSampleAttributes CqzSampleAttributesPage::Get(std::int64_t offset) const
{
    const auto row = static_cast<std::size_t>(offset);
    return IsPlain() ? m_records[row] : m_memory.GetPalette().Decode(m_codes[row]);
}

void CqzSampleAttributesPage::Read(std::int64_t offset, CqzSampleAttributes* out,
                                   std::int64_t count) const
{
    const auto rows = static_cast<std::size_t>(count);
    if (IsPlain())
        std::memcpy(out, m_records + offset, rows * sizeof *out);
    else
        m_memory.GetPalette().Decode(m_codes + offset, out, rows);
}

void CqzSampleAttributesPage::Write(std::int64_t offset, const CqzSampleAttributes* values,
                                    std::int64_t count)
{
    const auto rows = static_cast<std::size_t>(count);
    if (!IsPlain() && m_memory.GetPalette().Encode(values, m_codes + offset, rows))
        return;
    if (!IsPlain())
        MakePlain();
    std::memcpy(m_records + offset, values, rows * sizeof *values);
}

void CqzSampleAttributesPage::WriteChosen(std::int64_t offset, const std::uint8_t* picks,
                                          const CqzSampleAttributes* choices, int choiceCount,
                                          std::int64_t count)
{
    const auto rows = static_cast<std::size_t>(count);
    std::uint8_t codes[CqzRecordPalette::Capacity];
    CqzRecordPalette& palette = m_memory.GetPalette();
    if (!IsPlain() && palette.Encode(choices, codes, static_cast<std::size_t>(choiceCount)))
        return CqzRecordPalette::Translate(picks, codes, choiceCount, m_codes + offset, rows);
    if (!IsPlain())
        MakePlain();
    for (std::size_t i = 0; i < rows; ++i)
        m_records[static_cast<std::size_t>(offset) + i] = choices[picks[i]];
}

void CqzSampleAttributesPage::Reset()
{
    if (IsPlain())
        std::memset(static_cast<void*>(m_records), 0, m_count * sizeof *m_records);
    else
        std::memset(m_codes, 0, m_count);
}

// The codes written so far are decoded into the new records (those of a write the palette
// could not finish are written again by the caller).
void CqzSampleAttributesPage::MakePlain()
{
    auto* records = static_cast<CqzSampleAttributes*>(m_memory.GetRecordPool().Take());
    m_memory.GetPalette().Decode(m_codes, records, m_count);
    m_memory.GetCodePool().Give(m_codes);
    m_codes = nullptr;
    m_records = records;
}
