#pragma once
// Builds a data set in a few lines, for tests, samples and small importers:
//
//   CqzData data;
//   CqzDataBuilder b(data);
//   b.AddTable().Time().Digital(L"CLK").Integral(L"ADDR", 16).String(L"MSG");
//   b.Row(0, {1, 0x1000, L"start"});
//   b.Row(10, {0, CqzDataBuilder::Unknown(), CqzDataBuilder::Hold()});
//   b.Subrow(12, {1});
//   CqzLabelChannel addr = b.Channel(L"ADDR");
//
// A row's cells go to the table's label columns other than time, in the order they were added;
// missing cells hold the line before. Misuse (unknown name, duplicate name, too many cells, a
// text for a number, a time going back) throws std::invalid_argument naming the problem.
// Labels are registered with CqzLabelMgr as the table adds them.

#include "qzSystem/data/CqzData.h"
#include "qzSystem/ids/CqzLabelChannel.h"

#include <concepts>
#include <initializer_list>
#include <map>
#include <vector>

class CqzDataBuilder
{
public:
    // One cell of a row: a number, a text, a status without a value, or "hold".
    class Cell
    {
    public:
        template <std::integral T>
        Cell(T value) : m_kind(eNumber), m_value(static_cast<std::uint64_t>(value))
        {
        }
        Cell(const CqzUInt& value) : m_kind(eNumber), m_value(value) {}
        Cell(const wchar_t* text) : m_kind(eText), m_text(text) {}
        Cell(const CString& text) : m_kind(eText), m_text(text) {}
        static Cell Status(int status);
        static Cell Hold();

        // Whether the cell can go into a column: numbers into number columns, texts into
        // string columns, statuses and hold anywhere.
        bool Fits(const CqzDataColumn& column) const;
        // Writes the cell into a column of the table's last line.
        void WriteTo(CqzDataTable& table, int column) const;

    private:
        enum EKind
        {
            eNumber,
            eText,
            eStatus,
            eHold
        };
        explicit Cell(EKind kind, int status = 0) : m_kind(kind), m_status(status) {}

        EKind m_kind;
        CqzUInt m_value;
        CString m_text;
        int m_status = 0;
    };
    static Cell NoData() { return Cell::Status(3); }
    static Cell Unknown() { return Cell::Status(4); }
    static Cell Hold() { return Cell::Hold(); }

    explicit CqzDataBuilder(CqzData& data);

    // Starts a new table and makes it the current one.
    CqzDataBuilder& AddTable(const CqzID& tableID = CqzID());
    // The time column of the current table; the default name is "Time" in the first table,
    // "Time2", "Time3", ... in later ones.
    CqzDataBuilder& Time(const CString& name = CString());
    CqzDataBuilder& Digital(const CString& name, int width = 1);
    CqzDataBuilder& Integral(const CString& name, int width = 32);
    CqzDataBuilder& String(const CString& name);

    CqzDataBuilder& Row(std::int64_t time, std::initializer_list<Cell> cells);
    CqzDataBuilder& Subrow(std::int64_t time, std::initializer_list<Cell> cells);

    CqzData& GetData() const { return *m_data; }
    CqzDataTable& GetTable() const;
    // The identifier of a label this builder added, by name.
    const CqzID& GetLabelID(const CString& name) const;
    CqzLabelChannel Channel(const CString& name, int channel = -1) const;

private:
    CqzDataBuilder& AddLabel(EqzLabelType type, const CString& name, int width);
    // Checks the cells against the row columns before anything is appended.
    void Check(std::initializer_list<Cell> cells) const;
    void Fill(std::initializer_list<Cell> cells);

    CqzData* m_data;
    CqzDataTable* m_table = nullptr;
    // Label columns of the current table that rows fill, in order.
    std::vector<int> m_rowColumns;
    std::map<CString, CqzID> m_labels;
};
