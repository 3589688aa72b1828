#pragma once
// Messages 14 (load) and 15 (save): the plug-in reads or writes its setup in the given store.

#include "qzSystem/messages/CqzMessageBase.h"

class CqzPersistenceSetup;

class CqzMessagePersistence : public CqzMessageBase
{
public:
    CqzMessagePersistence(unsigned int typeID, CqzPersistenceSetup* setup)
        : CqzMessageBase(typeID), m_setup(setup)
    {
    }
    CqzPersistenceSetup* GetPersistenceSetup() const { return m_setup; }

private:
    CqzPersistenceSetup* m_setup;
};

class CqzMessageLoad : public CqzMessagePersistence
{
public:
    static constexpr unsigned int TypeID = 14;
    explicit CqzMessageLoad(CqzPersistenceSetup* setup) : CqzMessagePersistence(TypeID, setup) {}
};

class CqzMessageSave : public CqzMessagePersistence
{
public:
    static constexpr unsigned int TypeID = 15;
    explicit CqzMessageSave(CqzPersistenceSetup* setup) : CqzMessagePersistence(TypeID, setup) {}
};
