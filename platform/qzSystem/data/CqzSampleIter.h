#pragma once
// Sample iterator over a digital label, or one bit of it (channel 0 and up). The
// creator owns it; see CqzSampleIterBase for positioning and reading.

#include "qzSystem/data/CqzSampleIterBase.h"

class CqzSampleIter : public CqzSampleIterBase
{
public:
    CqzSampleIter(CqzData& data, const CqzLabelChannel& channel, int base, int value);
    ~CqzSampleIter() override;
};
