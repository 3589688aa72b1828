#pragma once
// Messages of a search event list: 102 event added, 103 event removed, 104 event changed,
// 114 conjunction changed, 4306 pattern changed. They carry no data; receivers read the list.

#include "qzSystem/messages/CqzMessageBase.h"

enum EqzSearchMessage : unsigned int
{
    eqzSearchEventAdded = 102,
    eqzSearchEventRemoved = 103,
    eqzSearchEventChanged = 104,
    eqzSearchConjChanged = 114,
    eqzSearchPatternChanged = 4306
};

class CqzSearchEventListMessage : public CqzMessageBase
{
public:
    explicit CqzSearchEventListMessage(EqzSearchMessage type) : CqzMessageBase(type) {}
};
