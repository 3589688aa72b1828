#pragma once
// Sample iterator over a table's time label: SetIndex to a row, GetPosition for
// its time, Next to the following line. The creator owns it; see CqzSampleIterBase.

#include "qzSystem/data/CqzSampleIterBase.h"

class CqzSampleTimeIter : public CqzSampleIterBase
{
public:
    CqzSampleTimeIter(CqzData& data, const CqzLabelChannel& channel, int base, int value);
    ~CqzSampleTimeIter() override;
};
