#include "qzSystem/data/CqzTimeCorrelatedIter.h"

#include "qzSystem/data/CqzSampleIterBase.h"

struct CqzTimeCorrelatedIter::SqzImp
{
    CqzData* data = nullptr;
    std::vector<CqzSampleIterBase*> iters;
};

CqzTimeCorrelatedIter::CqzTimeCorrelatedIter(CqzData& data,
                                             const std::vector<CqzSampleIterBase*>& iters)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->data = &data;
    m_imp->iters = iters;
}

CqzTimeCorrelatedIter::~CqzTimeCorrelatedIter() = default;

int CqzTimeCorrelatedIter::GetIterCount() const
{
    return static_cast<int>(m_imp->iters.size());
}

CqzSampleIterBase* CqzTimeCorrelatedIter::GetIter(int index) const
{
    return index >= 0 && index < GetIterCount() ? m_imp->iters[index] : nullptr;
}

CqzData& CqzTimeCorrelatedIter::GetData() const
{
    return *m_imp->data;
}

void CqzTimeCorrelatedIter::SetIndex(std::int64_t row, int subrow)
{
    CqzSampleIterBase::SetIndexAll(m_imp->iters, row, subrow);
}

void CqzTimeCorrelatedIter::SetPosition(const CqzPosition& position)
{
    CqzSampleIterBase::SetPositionAll(m_imp->iters, position);
}

void CqzTimeCorrelatedIter::GetValue(std::vector<CqzUInt>& values, std::vector<int>& statuses) const
{
    CqzSampleIterBase::GetValueAll(m_imp->iters, values, statuses);
}

void CqzTimeCorrelatedIter::GetValue(std::vector<CString>& texts, std::vector<int>& statuses) const
{
    CqzSampleIterBase::GetValueAll(m_imp->iters, texts, statuses);
}
