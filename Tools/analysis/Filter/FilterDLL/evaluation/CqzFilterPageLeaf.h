#pragma once
// The page-wise form of one leaf of a compiled term: the leaf's test applied to the values of
// its label occurrence at every row of a page, giving a mask of the rows where the leaf is
// true. Values are compared in the column store's own width (1, 2, 4 or 8 bytes), in place
// when the page's lines are consecutive, by CqzFilterPageCompare on the machine's vector unit;
// 16-byte values and bit channels are compared one by one. A text leaf tests each distinct
// text of the column once, remembers the answer and compares the answers of the page's rows.
// The decision per row is exactly the tree leaf's (a status of 3 or 4, or no line, makes it
// false). Owned by the page evaluator; the tree node and the iterator must outlive it.

#include "evaluation/CqzFilterPageCompare.h"
#include "evaluation/CqzFilterPageMask.h"
#include "evaluation/SqzFilterPageLines.h"
#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CqzFilterTreeNode;
class CqzFilterTreeStringOperand;
class CqzSampleIterBase;
class CqzValueStore;

class CqzFilterPageLeaf
{
public:
    // The page form of a comparison, range or text leaf reading through iter (which may be
    // null: no values); null for any other node.
    static std::unique_ptr<CqzFilterPageLeaf> Make(const CqzFilterTreeNode& node,
                                                   const CqzSampleIterBase* iter);

    CqzFilterPageMask Evaluate(const SqzFilterPageLines& lines);

private:
    enum EKind
    {
        eEqual,
        eNotEqual,
        eLess,
        eGreater,
        eLessEqual,
        eGreaterEqual,
        eInside,
        eOutside,
        eText
    };
    CqzFilterPageLeaf(EKind kind, const CqzSampleIterBase* iter);

    CqzFilterPageMask Usable(const CqzValueStore& store, const SqzFilterPageLines& lines) const;
    template <typename T> CqzFilterPageMask NumberMask(const SqzFilterPageLines& lines) const;
    // The leaf's test in T's width; none when the operand decides every row alike (then
    // `constant` holds the answer).
    template <typename T>
    std::optional<CqzFilterPageCompare::SqzTest<T>> TestFor(bool& constant) const;
    CqzFilterPageMask WideMask(const SqzFilterPageLines& lines);
    CqzFilterPageMask TextMask(const SqzFilterPageLines& lines);
    template <typename T>
    CqzFilterPageMask TextMaskOf(const CqzValueStore& numbers, const SqzFilterPageLines& lines);
    // Tests text `id` of the pool (below its text count) and keeps the answer.
    bool TextMatches(std::size_t id);

    EKind m_kind;
    const CqzSampleIterBase* m_iter;
    // Comparisons: the value and the mask; ranges: low and high.
    CqzUInt m_first;
    CqzUInt m_second;
    const CqzFilterTreeStringOperand* m_text = nullptr;
    // Per text number: -1 not tested yet, else whether the leaf is true for that text.
    std::vector<std::int8_t> m_textResults;
    // Per row of the page: the answers of WideMask and TextMask.
    std::uint8_t m_flags[CqzFilterPageMask::Rows] = {};
};
