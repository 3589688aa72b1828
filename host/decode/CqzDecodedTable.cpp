#include "CqzDecodedTable.h"

#include "CqzDecodeFields.h"
#include "capture/CqzCaptureLabelID.h"

#include <algorithm>
#include <numeric>

namespace
{
std::vector<const SqzAnnotation*> InTableOrder(const std::vector<SqzAnnotation>& annotations)
{
    std::vector<const SqzAnnotation*> rows;
    rows.reserve(annotations.size());
    for (const SqzAnnotation& annotation : annotations)
        rows.push_back(&annotation);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SqzAnnotation* a, const SqzAnnotation* b)
                     { return a->start != b->start ? a->start < b->start : a->end > b->end; });
    return rows;
}

// Digital labels show in hexadecimal; the width holds the largest value, in whole bytes.
int WidthOf(const std::vector<std::vector<std::optional<std::uint64_t>>>& values, std::size_t field)
{
    std::uint64_t largest = 0;
    for (const auto& row : values)
        largest = std::max(largest, row[field].value_or(0));
    int bits = 8;
    while (bits < 64 && (largest >> bits) != 0)
        bits += 8;
    return bits;
}

class CqzTableBuilder
{
public:
    CqzTableBuilder(CqzData& data, const std::string& name)
        : m_table(*data.AddTable()), m_name(name)
    {
    }

    int Add(EqzLabelType type, const std::string& suffix, int width = 0)
    {
        const CString name = CString::FromUtf8(m_name + "." + suffix);
        return m_table.AddLabelColumn(type, name, width,
                                      CqzCaptureLabelID::Make(CqzDecodedTable::SourceID(), name),
                                      CqzDecodedTable::SourceID());
    }

    CqzDataTable& GetTable() { return m_table; }

private:
    CqzDataTable& m_table;
    std::string m_name;
};
} // namespace

const CqzID& CqzDecodedTable::SourceID()
{
    static const CqzID id{
        GUID{0x8a41c6d3, 0x2e57, 0x4f0b, {0xb3, 0x9d, 0x64, 0x1f, 0xa2, 0x0e, 0x7c, 0x58}}};
    return id;
}

std::uint64_t CqzDecodedTable::MemoryOf(const SqzDecodedAnnotations& decoded)
{
    // A row: its time, start and end (8 bytes each), a word and a status byte per field, the
    // numbers of its two texts; a text: its characters and its entry in the pool.
    constexpr std::uint64_t kTextEntry = 48;
    const CqzDecodeFields fields(decoded.classes, decoded.format);
    const std::uint64_t row = 24 + 9 * fields.GetNames().size() + 8 + 2 * kTextEntry;
    std::uint64_t bytes = row * decoded.annotations.size();
    for (const SqzAnnotation& annotation : decoded.annotations)
        bytes += annotation.text.size() * sizeof(wchar_t);
    for (const std::string& name : decoded.classes)
        bytes += name.size() * sizeof(wchar_t);
    return bytes;
}

CqzDataTable& CqzDecodedTable::Add(CqzData& data, const std::string& name,
                                   const SqzDecodedAnnotations& decoded,
                                   const CqzSampleClock& clock)
{
    const std::vector<const SqzAnnotation*> rows = InTableOrder(decoded.annotations);
    const CqzDecodeFields fields(decoded.classes, decoded.format);
    const auto values = fields.Read(rows);
    CqzTableBuilder builder(data, name);
    builder.Add(eqzLabelTime, "time");
    std::vector<int> fieldColumns;
    for (std::size_t f = 0; f < fields.GetNames().size(); ++f)
        fieldColumns.push_back(
            builder.Add(eqzLabelDigital, fields.GetNames()[f], WidthOf(values, f)));
    const int classColumn = builder.Add(eqzLabelString, "class");
    const int textColumn = builder.Add(eqzLabelString, "text");
    const int startColumn = builder.Add(eqzLabelIntegral, "start", 64);
    const int endColumn = builder.Add(eqzLabelIntegral, "end", 64);
    CqzDataTable& table = builder.GetTable();
    table.Reserve(static_cast<std::int64_t>(rows.size()));
    std::int64_t time = 0;
    for (std::size_t r = 0; r < rows.size(); ++r)
    {
        const SqzAnnotation& row = *rows[r];
        // Rows are correlated by time: one that starts where the row before it started stands
        // a picosecond after it, so that each row has a time of its own.
        time = r == 0 ? clock.TimeOf(row.start) : std::max(clock.TimeOf(row.start), time + 1);
        table.AppendRow(time);
        for (std::size_t f = 0; f < fieldColumns.size(); ++f)
            if (values[r][f])
                table.SetValue(fieldColumns[f], CqzUInt(*values[r][f]));
            else
                table.SetStatus(fieldColumns[f], 3);
        const auto klass = static_cast<std::size_t>(row.annotationClass);
        table.SetText(classColumn,
                      CString::FromUtf8(klass < decoded.classes.size() ? decoded.classes[klass]
                                                                       : std::to_string(klass)));
        table.SetText(textColumn, CString::FromUtf8(row.text));
        table.SetValue(startColumn, CqzUInt(row.start));
        table.SetValue(endColumn, CqzUInt(row.end));
    }
    return table;
}
