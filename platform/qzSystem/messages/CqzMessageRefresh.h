#pragma once
// Messages 1 (refresh) and 21 (data changed): the tool's output must be produced again.

#include "qzSystem/messages/CqzMessageBase.h"

class CqzMessageRefresh : public CqzMessageBase
{
public:
    static constexpr unsigned int RefreshTypeID = 1;
    static constexpr unsigned int DataChangedTypeID = 21;
    explicit CqzMessageRefresh(unsigned int typeID = RefreshTypeID) : CqzMessageBase(typeID) {}
};
