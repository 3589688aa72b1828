#pragma once
// One table of the acquired data: an identifier, rows, and numbered columns. Each row is a
// sample line; a table with subrows gives a row further lines (its subrows), each with its own
// values and time, and has a subrow-count column (role 17). Label columns store one entry per
// line. Owned by CqzData.
//
// Building: add the label columns, then append rows. A new line starts as a copy of the line
// before it (values hold until set; the first line holds 0, the empty text and status 0), so
// an importer only writes what changed. Times must not decrease from line to line.

#include "mfc/CString.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/data/CqzLineIndex.h"
#include "qzSystem/data/CqzPosition.h"
#include "qzSystem/ids/CqzUInt.h"
#include "qzSystem/labels/CqzLabel.h"

#include <cstdint>
#include <functional>
#include <memory>

// Column roles (GetColumn, SetAttributeID).
enum EqzColumnRole
{
    eqzRoleData = 0,        // the first label column that is not the time column
    eqzRoleTime = 1,        // the time column
    eqzRoleAttributes = 15, // the display attribute column of the last tool in the chain
    eqzRoleSubrowCount = 17 // the count of subrows of each row
};

class CqzDataTable
{
public:
    explicit CqzDataTable(const CqzID& tableID = CqzID());
    ~CqzDataTable();
    CqzDataTable(const CqzDataTable&) = delete;
    CqzDataTable& operator=(const CqzDataTable&) = delete;

    const CqzID& GetID() const;
    std::int64_t GetRowCount() const;
    bool IsTableEmpty() const;
    // Lines: rows plus subrows.
    std::int64_t GetLineCount() const;
    bool HasSubrows() const;
    // Subrows of a row; 0 for a row out of range.
    int GetSubrowCount(std::int64_t row) const;
    // The line of a row (subrow -1) or of one of its subrows (0 first); -1 when there is none.
    std::int64_t GetLine(std::int64_t row, int subrow = -1) const;
    // The row a line belongs to, or -1.
    std::int64_t GetRowOfLine(std::int64_t line) const;
    // The same answers, inline, for readers on the hot path.
    const CqzLineIndex& GetLineIndex() const;

    // Columns -----------------------------------------------------------------------------
    int GetColumnCount() const;
    CqzDataColumn* GetColumnAt(int index) const;
    // The column in a role (EqzColumnRole), or null.
    CqzDataColumn* GetColumn(int role) const;
    CqzDataColumn* GetColumnWithLabelID(const CqzID& id) const;
    // Number of the column with this label or identifier, or -1.
    int FindColumn(const CqzID& id) const;
    // Adds an empty column (no data source, no attributes), or returns the column that
    // already has this identifier. The caller sets attributes and data source.
    CqzDataColumn* AddColumn(const CqzID& id);
    // Makes the column with this identifier the table's column in a role. False (and no
    // change) when the table has no such column.
    bool SetAttributeID(int role, const CqzID& id);
    // The identifier of the column in a role; false when no column has the role.
    bool GetAttributeID(int role, CqzID& id) const;
    // No column has the role any more (the columns stay). Not for the time role.
    void ClearAttributeID(int role);

    // Adds a column for a label and registers the label with CqzLabelMgr (type bit `type`, the
    // width below, sourceID and description). Widths: digital 1 to 128 bits; integral 8, 16,
    // 32, 64 or 128 bits (attribute bit 19 to 23 set on the column); string and time take
    // none (0 and 64 are registered); sample number is stored as 64 bits. The first time
    // column takes role 1, the first other label column role 0. Lines already in the table
    // read status 3 in the new column. Returns the column number, or -1 for an unknown type,
    // a bad width or a label the table already has.
    int AddLabelColumn(EqzLabelType type, const CString& name, int width = 0,
                       const CqzID& labelID = CqzID(), const CqzID& sourceID = CqzID(),
                       const CString& description = CString());

    // Building ----------------------------------------------------------------------------
    // Calls `hook` before rows are appended, once at least everyRows rows were appended since
    // its last call, and before the first. Every line in the table is final then (an importer
    // writes only its last line), so a host that imports on a worker can let readers at the
    // table there. An empty hook removes it.
    void SetGrowthHook(std::function<void()> hook, std::int64_t everyRows);
    void Reserve(std::int64_t rows, std::int64_t subrowLines = 0);
    // A job that makes the memory of lines [firstLine, firstLine + count) present ahead of
    // their writing, as far as Reserve made room for them, for another thread to run: the
    // zeroing of fresh pages falls on that thread. It must end before the table grows beyond
    // its reserve or goes.
    std::function<void()> PrefaultJob(std::int64_t firstLine, std::int64_t count) const;
    // Appends a row; returns its number, or -1 when time is before the last line's time.
    // Without a time argument the row holds the last line's time.
    std::int64_t AppendRow();
    std::int64_t AppendRow(std::int64_t time);
    // Appends count rows that hold the last line; returns the first of them (-1 for count < 1).
    std::int64_t AppendRows(std::int64_t count);
    // The same with the times firstTime + i x step for the rows (a time column whose times stay
    // a progression keeps them without a time a row). -1, and nothing appended, for count < 1,
    // a negative step, a first time before the last line's time or a last time beyond the
    // range of times.
    std::int64_t AppendRows(std::int64_t count, std::int64_t firstTime, std::int64_t step);
    // Appends count rows at `times` (rising, none before the last line's time) for the bulk
    // writers below to fill at once: label column c holds the last line in its first held[c]
    // rows (held has an entry per column), and its other rows are undefined until written.
    // Returns the first row; -1, and nothing appended, for count < 1 or times refused.
    std::int64_t AppendRowsToWrite(std::int64_t count, const std::int64_t* times,
                                   const std::int64_t* held);
    // Appends a subrow to the last row; returns its subrow number, or -1 without rows or when
    // time is before the last line's time. The first subrow gives the table its subrow column.
    int AppendSubrow();
    int AppendSubrow(std::int64_t time);
    // Gives the table its subrow-count column (role 17) now, even if no row has subrows.
    void EnableSubrows();

    // Writers of the last line. False when the table is empty, the column is not a label
    // column, or the kind does not fit (numbers into digital, integral and sample-number
    // columns, texts into string columns). Writing a value or text makes its status 0.
    bool SetValue(int column, const CqzUInt& value);
    bool SetText(int column, const CString& text);
    bool SetStatus(int column, int status);
    // Gives the last line's value of a digital column unknown (x) and high-impedance (z)
    // bits: status 4 when either mask has a bit, for showing the value digit by digit
    // (GetUnknownDigits). Writing a value later clears them.
    bool SetUnknownDigits(int column, const CqzUInt& unknown, const CqzUInt& floating);

    // Writers of any line.
    bool SetValueAt(int column, std::int64_t line, const CqzUInt& value);
    bool SetTextAt(int column, std::int64_t line, const wchar_t* text, std::size_t length);
    bool SetStatusAt(int column, std::int64_t line, int status);
    // Refused when it would make the times decrease.
    bool SetTimeAt(std::int64_t line, std::int64_t time);
    // Bulk writers of count lines from firstLine on; nothing is written when refused.
    bool SetValues(int column, std::int64_t firstLine, const CqzUInt* values, std::int64_t count);
    bool SetValues(int column, std::int64_t firstLine, const std::uint64_t* values,
                   std::int64_t count);
    bool SetValues(int column, std::int64_t firstLine, const std::uint8_t* values,
                   std::int64_t count);
    bool SetTimes(std::int64_t firstLine, const std::int64_t* times, std::int64_t count);
    // A one-bit column's values packed 64 to a word: line firstLine + i gets bit
    // (from + i) % 64 of bits[(from + i) / 64].
    bool SetPackedBits(int column, std::int64_t firstLine, const std::uint64_t* bits,
                       std::int64_t from, std::int64_t count);
    // A text's number in a string column's pool (added when new), -1 for another column; and
    // the bulk writer of that text to count lines from firstLine on.
    std::int64_t AddText(int column, const wchar_t* text, std::size_t length);
    bool FillText(int column, std::int64_t firstLine, std::int64_t count, std::uint32_t number);

    // Readers of one line: the status, with the value or text; 3 (and 0 or the empty text)
    // for a line or column that has none.
    int GetSample(int column, std::int64_t line, CqzUInt& value) const;
    int GetSample(int column, std::int64_t line, CString& text) const;
    // The unknown and high-impedance bits of a line's value; false when the value has status
    // 4 without a record of its digits, or another status.
    bool GetUnknownDigits(int column, std::int64_t line, CqzUInt& unknown, CqzUInt& floating) const;
    // The time of a line; Invalid() without a time column or line.
    CqzPosition GetTimeAt(std::int64_t line) const;
    // The store of the time column (role 1), or null.
    std::shared_ptr<CqzSampleStore> GetTimeStore() const;

private:
    template <typename T>
    bool SetRange(int column, std::int64_t firstLine, const T* values, std::int64_t count);

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
