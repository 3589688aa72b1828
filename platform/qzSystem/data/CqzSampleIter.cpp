#include "qzSystem/data/CqzSampleIter.h"

CqzSampleIter::CqzSampleIter(CqzData& data, const CqzLabelChannel& channel, int base, int value)
    : CqzSampleIterBase(data, channel, base, value)
{
}

CqzSampleIter::~CqzSampleIter() = default;
