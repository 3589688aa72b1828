#pragma once
// Sample iterator over an integral label (values at the column's width of 8 to
// 128 bits), or one bit of it. The creator owns it; see CqzSampleIterBase.

#include "qzSystem/data/CqzSampleIterBase.h"

class CqzSampleIntegerIter : public CqzSampleIterBase
{
public:
    CqzSampleIntegerIter(CqzData& data, const CqzLabelChannel& channel, int base, int value);
    ~CqzSampleIntegerIter() override;
};
