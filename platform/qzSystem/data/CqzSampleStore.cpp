#include "qzSystem/data/CqzSampleStore.h"

namespace
{
int EntryWidth(EqzSampleKind kind, int widthBits)
{
    if (kind == eqzSampleString)
        return 32;
    return kind == eqzSampleTime ? 64 : widthBits;
}
} // namespace

CqzSampleStore::CqzSampleStore(EqzSampleKind kind, int widthBits)
    : m_kind(kind), m_entries(EntryWidth(kind, widthBits))
{
    // Times of a fixed sample rate take no memory until they stop being one.
    if (kind == eqzSampleTime)
        m_entries.KeepProgression();
}

void CqzSampleStore::ClearStatuses(std::int64_t index, std::int64_t count)
{
    for (std::int64_t i = 0; i < count; ++i)
        m_statuses.Set(index + i, 0, m_entries.GetCount());
}

template <typename T>
bool CqzSampleStore::SetRange(std::int64_t index, const T* values, std::int64_t count)
{
    if (m_kind != eqzSampleValue || !IsInside(index, count) || (!values && count > 0))
        return false;
    m_entries.SetRange(index, values, count);
    ClearStatus(index, count);
    return true;
}

bool CqzSampleStore::SetValues(std::int64_t index, const CqzUInt* values, std::int64_t count)
{
    return SetRange(index, values, count);
}

bool CqzSampleStore::SetValues(std::int64_t index, const std::uint64_t* values, std::int64_t count)
{
    return SetRange(index, values, count);
}

bool CqzSampleStore::SetValues(std::int64_t index, const std::uint8_t* values, std::int64_t count)
{
    return SetRange(index, values, count);
}

bool CqzSampleStore::SetPackedBits(std::int64_t index, const std::uint64_t* bits,
                                   std::int64_t from, std::int64_t count)
{
    if (m_kind != eqzSampleValue || m_entries.GetWidth() != 1 || !IsInside(index, count) ||
        (!bits && count > 0) || from < 0)
        return false;
    m_entries.SetPackedBits(index, bits, from, count);
    ClearStatus(index, count);
    return true;
}

bool CqzSampleStore::SetTimes(std::int64_t index, const std::int64_t* picoseconds,
                              std::int64_t count)
{
    if (m_kind != eqzSampleTime || !IsInside(index, count) || (!picoseconds && count > 0))
        return false;
    // Signed and unsigned words of one size may alias: the times are stored as they are.
    m_entries.SetRange(index, reinterpret_cast<const std::uint64_t*>(picoseconds), count);
    ClearStatus(index, count);
    return true;
}

bool CqzSampleStore::SetTimeSteps(std::int64_t index, std::int64_t count, std::int64_t first,
                                  std::int64_t step)
{
    if (m_kind != eqzSampleTime || !IsInside(index, count))
        return false;
    m_entries.StepRange(index, count, static_cast<std::uint64_t>(first),
                        static_cast<std::uint64_t>(step));
    ClearStatus(index, count);
    return true;
}

bool CqzSampleStore::SetText(std::int64_t index, const wchar_t* text, std::size_t length)
{
    if (m_kind != eqzSampleString || !IsInside(index, 1))
        return false;
    m_entries.Set(index, CqzUInt(m_strings.Add(text, length)));
    ClearStatus(index, 1);
    return true;
}

std::int64_t CqzSampleStore::AddText(const wchar_t* text, std::size_t length)
{
    return m_kind == eqzSampleString ? m_strings.Add(text, length) : -1;
}

bool CqzSampleStore::FillText(std::int64_t index, std::int64_t count, std::uint32_t number)
{
    if (m_kind != eqzSampleString || !IsInside(index, count) || number >= m_strings.GetTextCount())
        return false;
    m_entries.FillRange(index, count, number);
    ClearStatus(index, count);
    return true;
}

bool CqzSampleStore::SetStatus(std::int64_t index, int status)
{
    if (!IsInside(index, 1))
        return false;
    m_statuses.Set(index, status, m_entries.GetCount());
    return true;
}
