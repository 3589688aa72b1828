#include "qzSystem/data/CqzTimeCorrelatedIter.h"

#include "qzSystem/data/CqzSampleIterBase.h"

struct CqzTimeCorrelatedIter::SqzImp
{
    CqzData* data = nullptr;
    std::vector<CqzSampleIterBase*> iters;
    // Per iterator, the first iterator of the same label channel (itself when there is none).
    std::vector<int> readFrom;

    void FindSameChannels();
};

// Iterators of one label channel stand on the same line of the same column whenever they are
// positioned together, so only the first of them needs reading.
void CqzTimeCorrelatedIter::SqzImp::FindSameChannels()
{
    readFrom.resize(iters.size());
    for (std::size_t i = 0; i < iters.size(); ++i)
    {
        readFrom[i] = static_cast<int>(i);
        for (std::size_t j = 0; j < i && iters[i] != nullptr; ++j)
            if (iters[j] != nullptr && iters[j]->GetLabelChannel() == iters[i]->GetLabelChannel())
            {
                readFrom[i] = static_cast<int>(j);
                break;
            }
    }
}

CqzTimeCorrelatedIter::CqzTimeCorrelatedIter(CqzData& data,
                                             const std::vector<CqzSampleIterBase*>& iters)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->data = &data;
    m_imp->iters = iters;
    m_imp->FindSameChannels();
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

void CqzTimeCorrelatedIter::Next()
{
    CqzSampleIterBase::NextAll(m_imp->iters);
}

void CqzTimeCorrelatedIter::GetValue(std::vector<CqzUInt>& values, std::vector<int>& statuses) const
{
    CqzSampleIterBase::GetValueAll(m_imp->iters, m_imp->readFrom, values, statuses);
}

void CqzTimeCorrelatedIter::GetValue(std::vector<CString>& texts, std::vector<int>& statuses) const
{
    CqzSampleIterBase::GetValueAll(m_imp->iters, m_imp->readFrom, texts, statuses);
}
