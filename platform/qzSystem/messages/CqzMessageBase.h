#pragma once
// Base of model messages and of the host's plug-in messages; the type id tells the kind.

#include "qzSystem/mvc/CqzMvcDefMsg.h"

class CqzMessageBase : public CqzMvcDefMsg
{
public:
    explicit CqzMessageBase(unsigned int typeID) : CqzMvcDefMsg(typeID) {}
};
