#pragma once
// Message 3: run the analysis tool on its data set, optionally validating its labels first.

#include "qzSystem/messages/CqzMessageBase.h"

class CqzMessageRun : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 3;
    explicit CqzMessageRun(bool validateLabels) : CqzMessageBase(TypeID), m_validate(validateLabels)
    {
    }
    bool GetValidateLabels() const { return m_validate; }

private:
    bool m_validate;
};
