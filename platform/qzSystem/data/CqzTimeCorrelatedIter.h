#pragma once
// Reads several sample iterators at one sample: all at the same row index (SetIndex), or each
// at the last line of its own table at or before one time position (SetPosition), or each at
// its next line (Next). GetValue fills the caller's vectors in iterator order; iterators of the
// same label channel are read once. Does not own the iterators or the data set; both must
// outlive it, and the iterators are positioned only through it. The creator owns it.

#include "mfc/CString.h"
#include "qzSystem/data/CqzPosition.h"
#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <memory>
#include <vector>

class CqzData;
class CqzSampleIterBase;

class CqzTimeCorrelatedIter
{
public:
    // A null entry in iters reads as status 3.
    CqzTimeCorrelatedIter(CqzData& data, const std::vector<CqzSampleIterBase*>& iters);
    ~CqzTimeCorrelatedIter();
    CqzTimeCorrelatedIter(const CqzTimeCorrelatedIter&) = delete;
    CqzTimeCorrelatedIter& operator=(const CqzTimeCorrelatedIter&) = delete;

    int GetIterCount() const;
    CqzSampleIterBase* GetIter(int index) const;
    CqzData& GetData() const;

    // Each iterator at this row (subrow -1: the main line) of its own table.
    void SetIndex(std::int64_t row, int subrow = -1);
    // Each iterator at the last line of its table at or before position.
    void SetPosition(const CqzPosition& position);
    // Each iterator at the next line of its table: after SetIndex(row) in a table without
    // subrows, the same as SetIndex(row + 1) at a fraction of the cost.
    void Next();

    // Resize both vectors to GetIterCount() and fill them in iterator order; once the vectors
    // have the capacity, nothing is allocated (texts are assigned into the existing strings).
    void GetValue(std::vector<CqzUInt>& values, std::vector<int>& statuses) const;
    void GetValue(std::vector<CString>& texts, std::vector<int>& statuses) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
