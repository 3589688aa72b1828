#pragma once
// Evaluates the compiled terms of a filter object a page (up to 512 rows) at a time: each
// leaf over the page's values into a mask (CqzFilterPageLeaf), AND, OR and inversion as mask
// operations in the order of each term's tree, and the first match across the terms by masks.
// The answer for every row is the one CqzFilterObject::Evaluate gives at that row. Made after
// the filter object's Build, which it reads; owned by the run engine and made again after
// every rebuild.

#include "evaluation/CqzFilterPageMask.h"

#include <cstdint>
#include <memory>

class CqzFilterObject;
class CqzPosition;

class CqzFilterPageEvaluator
{
public:
    explicit CqzFilterPageEvaluator(const CqzFilterObject& filter);
    ~CqzFilterPageEvaluator();
    CqzFilterPageEvaluator(const CqzFilterPageEvaluator&) = delete;
    CqzFilterPageEvaluator& operator=(const CqzFilterPageEvaluator&) = delete;

    // Rows firstRow ... firstRow + count - 1 (count at most 512), each iterator at the row of
    // that number in its own table (as CqzTimeCorrelatedIter::SetIndex).
    void EvaluateRows(std::int64_t firstRow, int count);
    // One row per time position, each iterator at the last line of its table at or before it
    // (as CqzTimeCorrelatedIter::SetPosition).
    void EvaluatePositions(const CqzPosition* positions, int count);

    // The number of terms (roots of the filter object).
    int GetTermCount() const;
    // After an evaluation: the rows for which term `index` is the first whose tree is true.
    const CqzFilterPageMask& GetFirstMatches(int index) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
