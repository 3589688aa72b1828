#pragma once
// Sample iterator over a string label; read with GetValue(CString&). The creator owns it; see
// CqzSampleIterBase for positioning and reading.

#include "qzSystem/data/CqzSampleIterBase.h"

class CqzSampleStringIter : public CqzSampleIterBase
{
public:
    CqzSampleStringIter(CqzData& data, const CqzLabelChannel& channel, int value, bool flag);
    ~CqzSampleStringIter() override;

    // The flag given at construction (kept for the host's displays).
    bool GetFlag() const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
