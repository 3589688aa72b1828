#pragma once
// The filter model's messages to its observers. They carry no data: a receiver reads the model.

#include "qzSystem/messages/CqzMessageBase.h"

// 200: sent to an observer alone, right after it was added to the model.
class CqzFilterModelAttachedMessage : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 200;
    CqzFilterModelAttachedMessage() : CqzMessageBase(TypeID) {}
};

// 201: a term was inserted (it is already in the list and observed).
class CqzFilterInsertedMessage : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 201;
    CqzFilterInsertedMessage() : CqzMessageBase(TypeID) {}
};

// 202: a term was removed and deleted.
class CqzFilterRemovedMessage : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 202;
    CqzFilterRemovedMessage() : CqzMessageBase(TypeID) {}
};

// 203: a term's action changed its type (sent by the action, passed on by the model).
class CqzFilterActionChangedMessage : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 203;
    CqzFilterActionChangedMessage() : CqzMessageBase(TypeID) {}
};

// 204: a term's name was stored.
class CqzFilterNameChangedMessage : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 204;
    CqzFilterNameChangedMessage() : CqzMessageBase(TypeID) {}
};

// 205: a term's show-name flag was set, or the term was enabled or disabled.
class CqzFilterShowNameChangedMessage : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 205;
    CqzFilterShowNameChangedMessage() : CqzMessageBase(TypeID) {}
};
