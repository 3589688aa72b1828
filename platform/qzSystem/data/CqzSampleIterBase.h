#pragma once
// Common base of the sample iterators: reads one label (or one bit of it) from the table of
// the data set that has the label, at a line chosen by row index or by time position. All
// reading and positioning is here and not virtual, so that reading many iterators per sample
// costs no virtual call. The data set must outlive the iterator; the iterator binds to the
// label's table and column when it is made.
//
// Lines: a row's main line is (row, -1); its subrows are (row, 0), (row, 1), ... A table
// without subrows has main lines only. Time positioning and Next walk all lines in order.
//
// Statuses: what the column holds (0, or 3 "no data" / 4 "value unknown"), and 3 whenever
// there is nothing to read: no table has the label, a bit channel beyond the label's width,
// a row or subrow out of range, a time before the table's first line or a table without time,
// a text read from a numeric column or a number from a string column.

#include "mfc/CString.h"
#include "qzSystem/data/CqzPosition.h"
#include "qzSystem/ids/CqzLabelChannel.h"
#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <memory>
#include <vector>

class CqzData;
class CqzDataTable;
class CqzStatusStore;
class CqzStringStore;
class CqzValueStore;

class CqzSampleIterBase
{
public:
    virtual ~CqzSampleIterBase();
    CqzSampleIterBase(const CqzSampleIterBase&) = delete;
    CqzSampleIterBase& operator=(const CqzSampleIterBase&) = delete;

    const CqzLabelChannel& GetLabelChannel() const;
    // The number base and the value given at construction (kept for the host's displays).
    int GetBase() const;
    int GetValueArgument() const;
    // The table read, or null when no table has the label.
    CqzDataTable* GetTable() const;

    // Positions at a row's main line (subrow -1) or at one of its subrows.
    void SetIndex(std::int64_t row, int subrow = -1);
    // Positions at the last line of the table whose time is at or before position. Moving
    // forward steps from the current line; a backward or long jump searches.
    void SetPosition(const CqzPosition& position);
    // Moves to the next line (the next subrow or the next row's main line); false when that
    // leaves the table or the iterator is not on a line.
    bool Next();
    // The current line of the table, -1 when none.
    std::int64_t GetLine() const;
    // The time of the current line; Invalid() when there is none.
    CqzPosition GetPosition() const;

    // The value at the current line (the selected bit, 0 or 1, for a bit channel); returns
    // its status.
    int GetValue(CqzUInt& value);
    // The text at the current line, assigned into text (its buffer is reused); returns the
    // status.
    int GetValue(CString& text);
    int GetStatus();

    // What the iterator reads, for readers of many lines at once (never null references):
    // the numbers (an empty store for a string column), the text numbers and their pool (empty
    // for other columns), the statuses, and the bit a bit channel selects (-1 for the whole
    // value). A line reads status 3 when it is not below the count of the store read.
    const CqzValueStore& GetNumberStore() const;
    const CqzValueStore& GetTextNumberStore() const;
    const CqzStringStore& GetStringStore() const;
    const CqzStatusStore& GetStatusStore() const;
    int GetBit() const;
    // Whether SetIndex(row) gives line `row` for every row of the table (no subrows); false
    // without a table.
    bool IsRowLine() const;

    // The same for several iterators at once, used by CqzTimeCorrelatedIter. A null entry
    // reads status 3. readFrom[i] names the iterator whose value entry i takes: i itself, or
    // an earlier one that reads the same line of the same column (read once, copied). The
    // vectors are resized to the number of iterators.
    static void SetIndexAll(const std::vector<CqzSampleIterBase*>& iters, std::int64_t row,
                            int subrow);
    static void SetPositionAll(const std::vector<CqzSampleIterBase*>& iters,
                               const CqzPosition& position);
    static void NextAll(const std::vector<CqzSampleIterBase*>& iters);
    static void GetValueAll(const std::vector<CqzSampleIterBase*>& iters,
                            const std::vector<int>& readFrom, std::vector<CqzUInt>& values,
                            std::vector<int>& statuses);
    static void GetValueAll(const std::vector<CqzSampleIterBase*>& iters,
                            const std::vector<int>& readFrom, std::vector<CString>& texts,
                            std::vector<int>& statuses);

protected:
    CqzSampleIterBase(CqzData& data, const CqzLabelChannel& channel, int base, int value);

private:
    template <typename T>
    static void ReadAll(const std::vector<CqzSampleIterBase*>& iters,
                        const std::vector<int>& readFrom, std::vector<T>& out,
                        std::vector<int>& statuses);

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
