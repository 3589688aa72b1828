#pragma once
// Iterator over a source of CqzSampleAttributes records, one per row or one per subrow. Over a
// per-subrow source the iterator stands on one line of a row (the main line or a subrow) and
// Next moves to the following line. An iterator in access mode 5 belongs to a producer: its
// writes never ask for production. Reads do ask, except on a source whose producer is running
// (which refuses nested production), so a tool reading an earlier tool's column in mode 5 gets
// that column's pages produced.

#include "qzSystem/data/CqzDataSourceIter.h"
#include "qzSystem/output/CqzSampleAttributes.h"

#include <cstdint>

class CqzSampleAttributesDataSourceIter : public CqzDataSourceIter
{
public:
    // The record at the current position; a default record at end or where nothing was
    // produced or written.
    virtual CqzSampleAttributes GetValue() = 0;
    // Writes the record at the current position; false at end.
    virtual bool SetValue(const CqzSampleAttributes& value) = 0;
    // Appends one subrow (default record) to the current row; false at end or when the source
    // holds one record per row.
    virtual bool AddSubrow() = 0;
    // Whether the source holds one record per subrow.
    virtual bool IsPerSubrow() const = 0;

    // Reads count records from the current position on, as GetValue and Next row after row
    // would (default records past the end), and leaves the iterator after the last.
    virtual void GetValues(CqzSampleAttributes* values, std::int64_t count)
    {
        for (std::int64_t i = 0; i < count; ++i)
        {
            values[i] = GetValue();
            Next();
        }
    }
    // Writes records from the current position on, as SetValue and Next row after row would,
    // until count are written or the end is reached; returns how many were written.
    virtual std::int64_t SetValues(const CqzSampleAttributes* values, std::int64_t count)
    {
        std::int64_t written = 0;
        for (; written < count && !IsAtEnd(); ++written)
        {
            SetValue(values[written]);
            Next();
        }
        return written;
    }
    // Writes as SetValues would the records choices[picks[i]] (picks below choiceCount, at
    // most 256 choices): a producer whose rows each take one of a few records says which, so
    // that a source keeping its records coded need not compare them.
    virtual std::int64_t SetChosenValues(const std::uint8_t* picks,
                                         const CqzSampleAttributes* choices, int choiceCount,
                                         std::int64_t count)
    {
        (void)choiceCount;
        constexpr std::int64_t Chunk = 512;
        CqzSampleAttributes values[Chunk];
        std::int64_t written = 0;
        while (written < count)
        {
            const std::int64_t n = count - written < Chunk ? count - written : Chunk;
            for (std::int64_t i = 0; i < n; ++i)
                values[i] = choices[picks[written + i]];
            const std::int64_t done = SetValues(values, n);
            written += done;
            if (done < n)
                break;
        }
        return written;
    }
};
