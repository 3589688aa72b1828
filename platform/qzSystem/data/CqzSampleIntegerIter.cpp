#include "qzSystem/data/CqzSampleIntegerIter.h"

CqzSampleIntegerIter::CqzSampleIntegerIter(CqzData& data, const CqzLabelChannel& channel, int base,
                                           int value)
    : CqzSampleIterBase(data, channel, base, value)
{
}

CqzSampleIntegerIter::~CqzSampleIntegerIter() = default;
