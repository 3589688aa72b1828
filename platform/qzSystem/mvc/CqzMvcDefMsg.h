#pragma once
// The host's message base: a message with a type id.

#include "mvc/MvcDefMsg.h"

class CqzMvcDefMsg : public foundation::MvcDefMsg
{
public:
    explicit CqzMvcDefMsg(unsigned int typeID) : foundation::MvcDefMsg(typeID) {}
};
