#include "qzSystem/data/CqzSampleStringIter.h"

struct CqzSampleStringIter::SqzImp
{
    bool flag = false;
};

CqzSampleStringIter::CqzSampleStringIter(CqzData& data, const CqzLabelChannel& channel, int value,
                                         bool flag)
    : CqzSampleIterBase(data, channel, 0, value), m_imp(std::make_unique<SqzImp>())
{
    m_imp->flag = flag;
}

CqzSampleStringIter::~CqzSampleStringIter() = default;

bool CqzSampleStringIter::GetFlag() const
{
    return m_imp->flag;
}
