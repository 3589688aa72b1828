#pragma once
// The stored samples of one label column, one entry per sample line: numbers at the label's
// width, text numbers into a pool for string labels, or signed 64-bit picoseconds for time (no
// memory per line while they keep a fixed rate, see CqzValueStore::KeepProgression); and
// the sparse statuses. Shared (std::shared_ptr) by the column's data source, its copies and the
// sample iterators reading it.

#include "qzSystem/data/CqzStatusStore.h"
#include "qzSystem/data/CqzStringStore.h"
#include "qzSystem/data/CqzValueStore.h"

enum EqzSampleKind
{
    eqzSampleValue = 0,
    eqzSampleString = 1,
    eqzSampleTime = 2
};

class CqzSampleStore
{
public:
    // widthBits matters for values only (1 to 128); strings and time ignore it.
    CqzSampleStore(EqzSampleKind kind, int widthBits);

    EqzSampleKind GetKind() const { return m_kind; }
    int GetWidth() const { return m_kind == eqzSampleValue ? m_entries.GetWidth() : 0; }
    std::int64_t GetCount() const { return m_entries.GetCount(); }

    void Reserve(std::int64_t count) { m_entries.Reserve(count); }
    // Appends lines that copy the last line's entry (or hold zero/empty/0 ps when there is
    // none); their status is the last line's status.
    void Append(std::int64_t count, bool hold = true) { m_entries.Append(count, hold); }
    // Lines that the caller writes at once (CqzValueStore::AppendToWrite).
    void AppendToWrite(std::int64_t count, std::int64_t held)
    {
        m_entries.AppendToWrite(count, held);
    }

    // Writers refuse (false) an index outside the store or a kind that does not fit. Writing a
    // value makes the line's status 0.
    bool SetValue(std::int64_t index, const CqzUInt& value)
    {
        if (m_kind != eqzSampleValue || !IsInside(index, 1))
            return false;
        m_entries.Set(index, value);
        ClearStatus(index, 1);
        return true;
    }
    bool SetValues(std::int64_t index, const CqzUInt* values, std::int64_t count);
    bool SetValues(std::int64_t index, const std::uint64_t* values, std::int64_t count);
    bool SetValues(std::int64_t index, const std::uint8_t* values, std::int64_t count);
    // One-bit values packed 64 to a word (CqzValueStore::SetPackedBits).
    bool SetPackedBits(std::int64_t index, const std::uint64_t* bits, std::int64_t from,
                       std::int64_t count);
    bool SetText(std::int64_t index, const wchar_t* text, std::size_t length);
    // The text's number in the pool of a string store (added when new); -1 for other kinds.
    std::int64_t AddText(const wchar_t* text, std::size_t length);
    // Gives count lines from index on the text of that number (AddText).
    bool FillText(std::int64_t index, std::int64_t count, std::uint32_t number);
    bool SetTime(std::int64_t index, std::int64_t picoseconds)
    {
        if (m_kind != eqzSampleTime || !IsInside(index, 1))
            return false;
        m_entries.Set(index, CqzUInt(static_cast<std::uint64_t>(picoseconds)));
        ClearStatus(index, 1);
        return true;
    }
    bool SetTimes(std::int64_t index, const std::int64_t* picoseconds, std::int64_t count);
    // Line index + i gets first + i x step picoseconds, for i below count (kept without a time
    // each while the column's times are a progression that they continue).
    bool SetTimeSteps(std::int64_t index, std::int64_t count, std::int64_t first,
                      std::int64_t step);
    bool SetStatus(std::int64_t index, int status);
    // Gives every line the same status.
    void FillStatus(int status) { m_statuses.Fill(status); }

    // Readers take an index inside the store.
    CqzUInt GetValue(std::int64_t index) const { return m_entries.Get(index); }
    const wchar_t* GetText(std::int64_t index) const
    {
        return m_strings.Get(static_cast<std::uint32_t>(m_entries.GetLow(index)));
    }
    std::int64_t GetTime(std::int64_t index) const
    {
        return static_cast<std::int64_t>(m_entries.GetLow(index));
    }
    int GetStatus(std::int64_t index) const { return m_statuses.Get(index); }

    // The parts, for readers on the hot path.
    const CqzValueStore& GetEntries() const { return m_entries; }
    const CqzStringStore& GetStrings() const { return m_strings; }
    const CqzStatusStore& GetStatuses() const { return m_statuses; }

private:
    bool IsInside(std::int64_t index, std::int64_t count) const
    {
        return index >= 0 && count >= 0 && index <= m_entries.GetCount() - count;
    }
    void ClearStatus(std::int64_t index, std::int64_t count)
    {
        if (!m_statuses.IsEmpty())
            ClearStatuses(index, count);
    }
    void ClearStatuses(std::int64_t index, std::int64_t count);
    template <typename T> bool SetRange(std::int64_t index, const T* values, std::int64_t count);

    EqzSampleKind m_kind;
    // Values, text numbers (32 bits) or times (64 bits).
    CqzValueStore m_entries;
    CqzStringStore m_strings;
    CqzStatusStore m_statuses;
};
