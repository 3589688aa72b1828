#include "qzSystem/data/CqzSampleTimeIter.h"

CqzSampleTimeIter::CqzSampleTimeIter(CqzData& data, const CqzLabelChannel& channel, int base,
                                     int value)
    : CqzSampleIterBase(data, channel, base, value)
{
}

CqzSampleTimeIter::~CqzSampleTimeIter() = default;
