#pragma once
// Message 5: the plug-in is about to be destroyed; it lets go of the data set.

#include "qzSystem/messages/CqzMessageBase.h"

class CqzMessageDestroyPlugIn : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 5;
    CqzMessageDestroyPlugIn() : CqzMessageBase(TypeID) {}
};
