#include "evaluation/CqzFilterPageLeaf.h"

#include "evaluation/CqzFilterTreeOperand.h"
#include "evaluation/CqzFilterTreeRangeOperand.h"
#include "evaluation/CqzFilterTreeStringOperand.h"
#include "qzSystem/data/CqzSampleIterBase.h"
#include "qzSystem/data/CqzStatusStore.h"
#include "qzSystem/data/CqzStringStore.h"
#include "qzSystem/data/CqzValueStore.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

namespace
{
// Rows of a page of consecutive lines that lie inside a store of `entries` entries.
int ValidRows(const SqzFilterPageLines& lines, std::int64_t entries)
{
    const std::int64_t inside = std::min<std::int64_t>(lines.validRows, entries - lines.first);
    return static_cast<int>(std::clamp<std::int64_t>(inside, 0, lines.count));
}

bool IsLine(std::int64_t line, std::int64_t entries)
{
    return static_cast<std::uint64_t>(line) < static_cast<std::uint64_t>(entries);
}

// Calls f(row, line) for each row of the page that has a line inside a store of `entries`.
template <typename F> void ForEachLine(const SqzFilterPageLines& lines, std::int64_t entries, F&& f)
{
    if (lines.consecutive)
    {
        const int valid = ValidRows(lines, entries);
        for (int row = 0; row < valid; ++row)
            f(row, lines.first + row);
        return;
    }
    for (int row = 0; row < lines.count; ++row)
        if (IsLine(lines.lines[row], entries))
            f(row, lines.lines[row]);
}

// Entries one at a time, for a store that computes them (a time column's progression) or
// packs them (one-bit values).
template <typename T>
void LoadEach(const CqzValueStore& store, const SqzFilterPageLines& lines, T* out)
{
    std::fill(out, out + lines.count, T());
    ForEachLine(lines, store.GetCount(),
                [&](int row, std::int64_t line) { out[row] = static_cast<T>(store.GetLow(line)); });
}

// The entries of the page's lines in their stored width; 0 where a row has no line.
template <typename T> void Load(const CqzValueStore& store, const SqzFilterPageLines& lines, T* out)
{
    const std::int64_t entries = store.GetCount();
    const std::uint8_t* bytes = store.GetBytes();
    if (bytes == nullptr || store.GetByteWidth() == 0)
        return LoadEach(store, lines, out);
    if (lines.consecutive)
    {
        const int valid = ValidRows(lines, entries);
        if (valid > 0)
            std::memcpy(out, bytes + lines.first * sizeof(T), std::size_t(valid) * sizeof(T));
        std::fill(out + std::max(valid, 0), out + lines.count, T());
        return;
    }
    for (int row = 0; row < lines.count; ++row)
    {
        const std::int64_t line = lines.lines[row];
        out[row] = T();
        if (IsLine(line, entries))
            std::memcpy(&out[row], bytes + line * sizeof(T), sizeof(T));
    }
}

// The entries of a page of consecutive lines where they are stored, when every row has one.
template <typename T> const T* InPlace(const CqzValueStore& store, const SqzFilterPageLines& lines)
{
    const std::uint8_t* bytes = store.GetBytes();
    if (bytes == nullptr || store.GetByteWidth() != int(sizeof(T)) || !lines.consecutive ||
        ValidRows(lines, store.GetCount()) != lines.count)
        return nullptr;
    return reinterpret_cast<const T*>(bytes + lines.first * std::int64_t(sizeof(T)));
}

// Whether an unsigned 128-bit number exceeds the largest value of T.
template <typename T> bool Exceeds(const CqzUInt& value)
{
    return value.GetHigh() != 0 || value.GetLow() > std::numeric_limits<T>::max();
}

} // namespace

CqzFilterPageLeaf::CqzFilterPageLeaf(EKind kind, const CqzSampleIterBase* iter)
    : m_kind(kind), m_iter(iter)
{
}

std::unique_ptr<CqzFilterPageLeaf> CqzFilterPageLeaf::Make(const CqzFilterTreeNode& node,
                                                           const CqzSampleIterBase* iter)
{
    std::unique_ptr<CqzFilterPageLeaf> leaf;
    auto compare = [&]<typename C>(EKind kind, C*)
    {
        if (auto* operand = dynamic_cast<const CqzFilterTreeOperand<CqzUInt, C>*>(&node))
        {
            leaf.reset(new CqzFilterPageLeaf(kind, iter));
            leaf->m_first = operand->GetValue();
            leaf->m_second = operand->GetMask();
        }
    };
    compare(eEqual, static_cast<std::equal_to<CqzUInt>*>(nullptr));
    compare(eNotEqual, static_cast<std::not_equal_to<CqzUInt>*>(nullptr));
    compare(eLess, static_cast<std::less<CqzUInt>*>(nullptr));
    compare(eGreater, static_cast<std::greater<CqzUInt>*>(nullptr));
    compare(eLessEqual, static_cast<std::less_equal<CqzUInt>*>(nullptr));
    compare(eGreaterEqual, static_cast<std::greater_equal<CqzUInt>*>(nullptr));
    if (auto* range = dynamic_cast<const CqzFilterTreeRangeOperand<CqzUInt>*>(&node))
    {
        const bool inside = range->GetMode() == CqzFilterTreeRangeOperand<CqzUInt>::Inside;
        leaf.reset(new CqzFilterPageLeaf(inside ? eInside : eOutside, iter));
        leaf->m_first = range->GetLow();
        leaf->m_second = range->GetHigh();
    }
    if (auto* text = dynamic_cast<const CqzFilterTreeStringOperand*>(&node))
    {
        leaf.reset(new CqzFilterPageLeaf(eText, iter));
        leaf->m_text = text;
    }
    return leaf;
}

CqzFilterPageMask CqzFilterPageLeaf::Evaluate(const SqzFilterPageLines& lines)
{
    if (m_iter == nullptr)
        return CqzFilterPageMask();
    const CqzValueStore& store =
        m_kind == eText ? m_iter->GetTextNumberStore() : m_iter->GetNumberStore();
    CqzFilterPageMask usable = Usable(store, lines);
    if (usable.IsEmpty())
        return usable;
    if (m_kind == eText)
        usable &= TextMask(lines);
    else if (m_iter->GetBit() >= 0 || store.GetByteWidth() == 16)
        usable &= WideMask(lines);
    else if (store.GetByteWidth() <= 1)
        usable &= NumberMask<std::uint8_t>(lines);
    else if (store.GetByteWidth() == 2)
        usable &= NumberMask<std::uint16_t>(lines);
    else if (store.GetByteWidth() == 4)
        usable &= NumberMask<std::uint32_t>(lines);
    else
        usable &= NumberMask<std::uint64_t>(lines);
    return usable;
}

// Rows whose line lies in the store and whose status is neither 3 nor 4.
CqzFilterPageMask CqzFilterPageLeaf::Usable(const CqzValueStore& store,
                                            const SqzFilterPageLines& lines) const
{
    const CqzStatusStore& statuses = m_iter->GetStatusStore();
    const std::int64_t entries = store.GetCount();
    CqzFilterPageMask usable;
    if (lines.consecutive)
    {
        const int valid = ValidRows(lines, entries);
        usable = CqzFilterPageMask::FirstRows(valid);
        if (statuses.IsEmpty())
            return usable;
        CqzFilterPageMask unusable;
        statuses.VisitRuns(lines.first, lines.first + valid,
                           [&](std::int64_t from, std::int64_t to, int status)
                           {
                               if (IsUnusableStatus(status))
                                   unusable.SetRange(int(from - lines.first),
                                                     int(to - lines.first));
                           });
        return usable.Without(unusable);
    }
    std::size_t cursor = 0;
    ForEachLine(lines, entries,
                [&](int row, std::int64_t line)
                {
                    if (!IsUnusableStatus(statuses.Get(line, cursor)))
                        usable.Set(row);
                });
    return usable;
}

template <typename T>
CqzFilterPageMask CqzFilterPageLeaf::NumberMask(const SqzFilterPageLines& lines) const
{
    bool constant = false;
    const std::optional<CqzFilterPageCompare::SqzTest<T>> test = TestFor<T>(constant);
    if (!test)
        return constant ? CqzFilterPageMask::FirstRows(lines.count) : CqzFilterPageMask();
    const CqzValueStore& store = m_iter->GetNumberStore();
    const T* values = InPlace<T>(store, lines);
    T loaded[CqzFilterPageMask::Rows];
    if (values == nullptr)
    {
        Load(store, lines, loaded);
        values = loaded;
    }
    return CqzFilterPageCompare::Compare(values, lines.count, *test);
}

// The samples are at most T's largest value. A comparison value or a lower bound above that
// decides every row alike; an upper bound above it is the largest value. A range is the
// complement of "outside": x - low > high - low, wrapping.
template <typename T>
std::optional<CqzFilterPageCompare::SqzTest<T>> CqzFilterPageLeaf::TestFor(bool& constant) const
{
    using Compare = CqzFilterPageCompare;
    Compare::SqzTest<T> test;
    if (m_kind == eInside || m_kind == eOutside)
    {
        constant = m_kind == eOutside;
        if (Exceeds<T>(m_first))
            return std::nullopt;
        const T low = static_cast<T>(m_first.GetLow());
        const T high = Exceeds<T>(m_second) ? std::numeric_limits<T>::max()
                                            : static_cast<T>(m_second.GetLow());
        if (low > high)
            return std::nullopt;
        test.op = Compare::eOutside;
        test.invert = m_kind == eInside;
        test.first = low;
        test.second = static_cast<T>(high - low);
        return test;
    }
    if (Exceeds<T>(m_first))
    {
        constant = m_kind == eNotEqual || m_kind == eLess || m_kind == eLessEqual;
        return std::nullopt;
    }
    test.mask = static_cast<T>(m_second.GetLow());
    test.first = static_cast<T>(m_first.GetLow());
    test.invert = m_kind == eNotEqual || m_kind == eGreaterEqual || m_kind == eLessEqual;
    test.op = m_kind == eEqual || m_kind == eNotEqual ? Compare::eEqual
              : m_kind == eLess || m_kind == eGreaterEqual ? Compare::eLess
                                                           : Compare::eGreater;
    return test;
}

// 16-byte values and single bits, one row at a time with the tree leaf's own comparisons.
CqzFilterPageMask CqzFilterPageLeaf::WideMask(const SqzFilterPageLines& lines)
{
    const CqzValueStore& store = m_iter->GetNumberStore();
    const int bit = m_iter->GetBit();
    std::fill(m_flags, m_flags + lines.count, 0);
    ForEachLine(lines, store.GetCount(),
                [&](int row, std::int64_t line)
                {
                    CqzUInt v = store.Get(line);
                    if (bit >= 0)
                        v = CqzUInt(v.GetBit(bit) ? 1u : 0u);
                    const CqzUInt masked = v & m_second;
                    bool result = false;
                    switch (m_kind)
                    {
                    case eEqual:
                        result = masked == m_first;
                        break;
                    case eNotEqual:
                        result = masked != m_first;
                        break;
                    case eLess:
                        result = masked < m_first;
                        break;
                    case eGreater:
                        result = masked > m_first;
                        break;
                    case eLessEqual:
                        result = masked <= m_first;
                        break;
                    case eGreaterEqual:
                        result = masked >= m_first;
                        break;
                    default:
                        result = (m_first <= v && v <= m_second) == (m_kind == eInside);
                    }
                    m_flags[row] = result ? 1 : 0;
                });
    return CqzFilterPageMask::FromFlags(m_flags, lines.count);
}

// The answer of each row's text, then the answers compared as bytes.
// Each distinct text is tested once; a row's answer is then a lookup by its text number. The
// page's numbers are read in the store's width; rows without a line get some answer, which
// the usable rows leave out.
CqzFilterPageMask CqzFilterPageLeaf::TextMask(const SqzFilterPageLines& lines)
{
    const CqzValueStore& numbers = m_iter->GetTextNumberStore();
    switch (numbers.GetBytes() == nullptr ? 0 : numbers.GetByteWidth())
    {
    case 1:
        return TextMaskOf<std::uint8_t>(numbers, lines);
    case 2:
        return TextMaskOf<std::uint16_t>(numbers, lines);
    case 4:
        return TextMaskOf<std::uint32_t>(numbers, lines);
    default:
        return TextMaskOf<std::uint64_t>(numbers, lines);
    }
}

template <typename T>
CqzFilterPageMask CqzFilterPageLeaf::TextMaskOf(const CqzValueStore& numbers,
                                                const SqzFilterPageLines& lines)
{
    T ids[CqzFilterPageMask::Rows];
    Load(numbers, lines, ids);
    const std::size_t texts = m_iter->GetStringStore().GetTextCount();
    if (m_textResults.size() < texts)
        m_textResults.resize(texts, -1);
    for (int row = 0; row < lines.count; ++row)
    {
        // A number the pool does not have reads as the empty text (text 0).
        const std::size_t id = ids[row] < texts ? std::size_t(ids[row]) : 0;
        const std::int8_t known = m_textResults[id];
        m_flags[row] = static_cast<std::uint8_t>(known >= 0 ? known : TextMatches(id));
    }
    CqzFilterPageCompare::SqzTest<std::uint8_t> isTrue;
    isTrue.first = 1;
    return CqzFilterPageCompare::Compare(m_flags, lines.count, isTrue);
}

bool CqzFilterPageLeaf::TextMatches(std::size_t id)
{
    CString scratch;
    const bool matches =
        m_text->Matches(m_iter->GetStringStore().Get(static_cast<std::uint32_t>(id)), scratch);
    m_textResults[id] = matches ? 1 : 0;
    return matches;
}
