#include "model/CqzFilterAction.h"

#include "model/CqzFilterMessages.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

namespace
{
const wchar_t* const TypeNames[] = {L"Show", L"Hide", L"Color"};
}

CqzFilterAction::CqzFilterAction(const CqzFilterAction& other)
    : CqzSearchComponentModel(other), m_type(other.m_type), m_color(other.m_color)
{
}

void CqzFilterAction::SetType(unsigned int type)
{
    if (type == m_type)
        return;
    m_type = type;
    CqzFilterActionChangedMessage message;
    UpdateAllObservers(nullptr, &message);
}

const wchar_t* CqzFilterAction::GetTypeName(unsigned int type)
{
    return type < std::size(TypeNames) ? TypeNames[type] : L"";
}

void CqzFilterAction::Save(CqzPersistenceSetup* setup) const
{
    const bool opened = setup->OpenTag(L"FilterAction", false);
    setup->Write(L"Color", static_cast<std::uint32_t>(m_color));
    setup->Write(L"Type", CString(GetTypeName(m_type)));
    if (opened)
        setup->CloseTag(false);
}

void CqzFilterAction::Load(CqzPersistenceSetup* setup)
{
    const bool opened = setup->OpenTag(L"FilterAction", false);
    std::uint32_t color = m_color;
    if (setup->Read(L"Color", color))
        m_color = color;
    CString type;
    setup->Read(L"Type", type);
    m_type = type == L"Color" ? eqzFilterColor : type == L"Show" ? eqzFilterShow : eqzFilterHide;
    if (opened)
        setup->CloseTag(false);
}
