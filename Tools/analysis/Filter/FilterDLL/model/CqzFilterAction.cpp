#include "model/CqzFilterAction.h"

#include "model/CqzFilterMessages.h"

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
