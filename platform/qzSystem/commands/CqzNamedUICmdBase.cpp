#include "qzSystem/commands/CqzNamedUICmdBase.h"

#include "qzSystem/persist/CqzPersistenceSetup.h"

void CqzNamedUICmdBase::Save(CqzPersistenceSetup& setup) const
{
    setup.OpenTag(L"UICmd");
    setup.Write(L"Enabled", m_enabled);
    setup.CloseTag();
}

void CqzNamedUICmdBase::Load(CqzPersistenceSetup& setup)
{
    setup.OpenTag(L"UICmd");
    setup.Read(L"Enabled", m_enabled);
    setup.CloseTag();
}
