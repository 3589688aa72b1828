#pragma once
// Base of the events that plug-ins report to the host through CqzEventMgr.

#include "qzSystem/mvc/CqzMvcDefMsg.h"

class CqzEventMessageBase : public CqzMvcDefMsg
{
public:
    explicit CqzEventMessageBase(unsigned int typeID) : CqzMvcDefMsg(typeID) {}
    void Sprint(CString& text) const override;
};
