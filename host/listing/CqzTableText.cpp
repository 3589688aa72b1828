#include "CqzTableText.h"

#include "CqzTerminalText.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/data/CqzSampleStore.h"
#include "qzSystem/format/CqzHexFormatter.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace
{

struct SqzTimeUnit
{
    const char* name;
    std::int64_t divisor;
};

const SqzTimeUnit Units[] = {
    {"s", 1000000000000}, {"ms", 1000000000}, {"us", 1000000}, {"ns", 1000}, {"ps", 1}};

std::string Decimal(const CqzUInt& value)
{
    unsigned __int128 v = (static_cast<unsigned __int128>(value.GetHigh()) << 64) | value.GetLow();
    std::string digits;
    do
    {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return digits;
}

// A digital value with unknown (x) or high-impedance (z) bits, a digit per 4 bits (one for a
// 1-bit label): a digit whose bits are all z reads 'z', all unknown 'x'; a digit with some
// known bits reads 'X' (or 'Z' when its unknown bits are all z).
std::string DigitsWithUnknowns(const CqzUInt& value, const CqzUInt& x, const CqzUInt& z, int width)
{
    const int step = width == 1 ? 1 : 4;
    std::string text;
    for (int low = (width - 1) / step * step; low >= 0; low -= step)
    {
        const int bits = std::min(step, width - low);
        const CqzUInt mask = CqzUInt::LowMask(bits) << low;
        const bool anyX = !(x & mask).IsZero();
        const bool anyZ = !(z & mask).IsZero();
        if (!anyX && !anyZ)
        {
            const auto digit = static_cast<unsigned>(((value & mask) >> low).GetLow());
            text += "0123456789abcdef"[digit];
        }
        else if (((x | z) & mask) != mask)
            text += anyX ? 'X' : 'Z';
        else
            text += anyX ? 'x' : 'z';
    }
    return text;
}

// The kind a column is listed as; false for columns that are not listed.
bool ListedType(const CqzLabel& label, EqzLabelType& type)
{
    for (EqzLabelType candidate : {eqzLabelString, eqzLabelDigital, eqzLabelIntegral})
        if (label.IsType(candidate))
        {
            type = candidate;
            return true;
        }
    return false;
}

} // namespace

CqzTableText::CqzTableText(const CqzDataTable& table) : m_table(table)
{
    for (int i = 0; i < table.GetColumnCount(); ++i)
    {
        const CqzDataColumn* column = table.GetColumnAt(i);
        const CqzLabel* label =
            column ? CqzLabelMgr::Instance().IDToLabel(column->GetLabelID()) : nullptr;
        EqzLabelType type;
        if (label != nullptr && ListedType(*label, type))
            m_columns.push_back({i, label->GetName().ToUtf8(), type, label->GetWidth()});
    }
    // The unit of the largest time, so that every row reads in one unit.
    const std::int64_t rows = table.GetRowCount();
    const std::int64_t last = rows > 0 ? table.GetTimeAt(table.GetLine(rows - 1)).GetTime() : 0;
    const std::int64_t first = rows > 0 ? table.GetTimeAt(table.GetLine(0)).GetTime() : 0;
    const std::int64_t largest =
        std::max(last < 0 ? -(last + 1) : last, first < 0 ? -(first + 1) : first);
    for (const SqzTimeUnit& unit : Units)
        if (largest >= unit.divisor * 10 || unit.divisor == 1)
        {
            m_unit = unit.name;
            m_divisor = unit.divisor;
            break;
        }
    m_decimals = ChooseDecimals(table, m_divisor);
}

// At least three decimals, and as many more as the capture's time step needs for every time
// of its first million rows to be written exactly, so that neighbouring rows never read the same.
int CqzTableText::ChooseDecimals(const CqzDataTable& table, std::int64_t divisor)
{
    const std::int64_t rows = std::min<std::int64_t>(table.GetRowCount(), 1000000);
    std::int64_t step = 0; // the greatest common divisor of the times, in ps
    for (std::int64_t row = 0; row < rows && step != 1; ++row)
        if (const CqzPosition time = table.GetTimeAt(table.GetLine(row)); time.IsValid())
            step = std::gcd(step, time.GetTime() % divisor);
    int decimals = 3;
    for (std::int64_t unit = divisor / 1000; unit > 1 && step % unit != 0; unit /= 10)
        ++decimals;
    return divisor == 1 ? 0 : decimals;
}

std::string CqzTableText::HiddenRun(std::int64_t count)
{
    return "\u2026 " + std::to_string(count) + " hidden row" + (count == 1 ? "" : "s") + " \u2026";
}

std::string CqzTableText::LineName(std::int64_t row, int subrow)
{
    return std::to_string(row) + (subrow < 0 ? "" : "." + std::to_string(subrow + 1));
}

std::string CqzTableText::TimeOfLine(std::int64_t line) const
{
    const CqzPosition time = m_table.GetTimeAt(line);
    if (!time.IsValid())
        return "";
    const std::int64_t ps = time.GetTime();
    if (m_divisor == 1)
        return std::to_string(ps);
    const std::int64_t whole = ps / m_divisor;
    std::int64_t fraction = ps % m_divisor;
    const bool negative = ps < 0;
    if (fraction < 0)
        fraction = -fraction;
    std::int64_t scale = m_divisor;
    for (int i = 0; i < m_decimals; ++i)
        scale /= 10;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld.%0*lld", negative && whole == 0 ? "-" : "",
                  static_cast<long long>(whole), m_decimals,
                  static_cast<long long>(fraction / scale));
    return text;
}

std::string CqzTableText::ValueOfLine(std::int64_t line, int listed) const
{
    const SqzColumn& column = m_columns[listed];
    if (column.type == eqzLabelString)
    {
        CString text;
        const int status = m_table.GetSample(column.index, line, text);
        return status == 3 ? "" : status == 4 ? "x" : text.ToUtf8();
    }
    CqzUInt value;
    const int status = m_table.GetSample(column.index, line, value);
    if (status == 3)
        return "";
    if (status == 4)
        return UnknownValue(column, line, value);
    if (column.type == eqzLabelIntegral)
        return Decimal(value);
    if (column.width == 1)
        return value.IsZero() ? "0" : "1";
    return CqzHexFormatter(column.width).ValueToText(value).ToUtf8();
}

std::optional<CqzUInt> CqzTableText::NumberOfLine(std::int64_t line, int listed) const
{
    const SqzColumn& column = m_columns[listed];
    CqzUInt value;
    if (column.type == eqzLabelString || m_table.GetSample(column.index, line, value) != 0)
        return std::nullopt;
    return value;
}

// A value with status 4: digit by digit when the table knows which bits are x and z, else "x".
std::string CqzTableText::UnknownValue(const SqzColumn& column, std::int64_t line,
                                       const CqzUInt& value) const
{
    CqzUInt x, z;
    if (column.type != eqzLabelDigital || !m_table.GetUnknownDigits(column.index, line, x, z))
        return "x";
    return DigitsWithUnknowns(value, x, z, column.width);
}

std::size_t CqzTableText::GuessWidth(int listed) const
{
    const SqzColumn& column = m_columns[listed];
    return std::min<std::size_t>(
        std::max(CqzTerminalText::Sanitize(column.name).size(), WidestValue(column)), 40);
}

// Numbers take the digits of their width; texts the longest text the column holds (its store
// keeps every distinct text once, so this reads no rows).
std::size_t CqzTableText::WidestValue(const SqzColumn& column) const
{
    if (column.type == eqzLabelIntegral)
        return Decimal(CqzUInt::LowMask(column.width)).size();
    if (column.type == eqzLabelDigital)
        return column.width <= 1 ? 1 : static_cast<std::size_t>(column.width + 3) / 4;
    std::size_t widest = 1; // "x" for an unknown text
    const CqzDataColumn* data = m_table.GetColumnAt(column.index);
    const std::shared_ptr<CqzSampleStore> store = data ? data->GetSharedSampleStore() : nullptr;
    if (store == nullptr)
        return widest;
    const CqzStringStore& texts = store->GetStrings();
    for (std::size_t i = 0; i < texts.GetTextCount(); ++i)
        widest = std::max(widest, CqzTerminalText::Sanitize(
                                      CString(texts.Get(static_cast<std::uint32_t>(i))).ToUtf8())
                                      .size());
    return widest;
}
