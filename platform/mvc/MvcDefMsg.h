#pragma once
// Message base that carries its type id.

#include "mvc/IMessage.h"

namespace foundation
{

class MvcDefMsg : public IMessage
{
public:
    explicit MvcDefMsg(unsigned int typeID) : m_typeID(typeID) {}
    unsigned int GetTypeID() const override { return m_typeID; }
    void Sprint(CString&) const override {}

private:
    unsigned int m_typeID;
};

} // namespace foundation
