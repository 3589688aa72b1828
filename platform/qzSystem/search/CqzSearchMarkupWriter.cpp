#include "qzSystem/search/CqzSearchMarkupWriter.h"

#include "markup/CqzXMLParser.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/search/CqzSearchEventBracket.h"
#include "qzSystem/search/CqzSearchEventList.h"
#include "qzSystem/search/CqzSearchMarkupNumber.h"
#include "qzSystem/search/CqzSearchMarkupOp.h"

namespace
{
bool IsStringLabel(const CqzPatternModel& pattern)
{
    const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(pattern.GetLabelInfo().GetLabelID());
    return label != nullptr && label->IsType(eqzLabelString);
}
} // namespace

CString CqzSearchMarkupWriter::LabelText(const CqzPatternModel& pattern)
{
    const CqzID& id = pattern.GetLabelInfo().GetLabelID();
    const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(id);
    return label != nullptr ? label->GetName() : id.ToString();
}

bool CqzSearchMarkupWriter::Write(const CqzSearchEventList& events, bool enabled, bool inverted)
{
    if (!m_xml.Descend() || !m_xml.AppendChild(L"Search"))
        return false;
    m_xml.SetChildAttribute(L"Enabled", enabled);
    if (inverted)
        m_xml.SetChildAttribute(L"Inverted", true);
    m_xml.Descend();
    int depth = 0;
    for (int i = 0; i < events.GetComponentCount(); ++i)
    {
        const CqzSearchComponentModel* component = events.GetComponentAt(i);
        if (auto* event = dynamic_cast<const CqzSearchEventLabel*>(component))
            WriteEvent(*event->GetEventLabel());
        else if (auto* conj = dynamic_cast<const CqzSearchEventConj*>(component))
        {
            m_xml.AppendChild(L"Conj");
            m_xml.SetChildAttribute(L"Type", conj->GetType() == eqzConjOr ? L"OR" : L"AND");
        }
        else if (auto* bracket = dynamic_cast<const CqzSearchEventBracket*>(component))
        {
            if (bracket->IsOpening())
            {
                m_xml.AppendChild(L"Group");
                m_xml.Descend();
                ++depth;
            }
            else if (depth > 0) // a stray closing bracket must not leave the "Search" element
            {
                m_xml.Ascend();
                --depth;
            }
        }
    }
    return true;
}

void CqzSearchMarkupWriter::WriteEvent(const CqzPatternModel& pattern)
{
    m_xml.AppendChild(L"Event");
    m_xml.SetChildAttribute(L"Label", LabelText(pattern));
    if (const int channel = pattern.GetLabelInfo().GetChannel(); channel != -1)
        m_xml.SetChildAttribute(L"Channel", static_cast<std::int32_t>(channel));
    const CqzSearchMarkupOp* op = CqzSearchMarkupOp::FromPattern(pattern, IsStringLabel(pattern));
    if (op == nullptr)
        return; // a choice without a word: written without "Op", refused when read back
    m_xml.SetChildAttribute(L"Op", op->name);
    CqzUInt value, second;
    pattern.GetValue(value, second);
    CString text;
    switch (op->operand)
    {
    case eqzOperandValue:
        m_xml.SetChildAttribute(L"Value", CqzSearchMarkupNumber::Format(value));
        if (!second.IsZero())
            m_xml.SetChildAttribute(L"DontCare", CqzSearchMarkupNumber::Format(second));
        break;
    case eqzOperandRange:
        m_xml.SetChildAttribute(L"Low", CqzSearchMarkupNumber::Format(value));
        m_xml.SetChildAttribute(L"High", CqzSearchMarkupNumber::Format(second));
        break;
    case eqzOperandText:
        pattern.GetValue(text);
        m_xml.SetChildAttribute(L"Text", text);
        break;
    case eqzOperandNone:
        break;
    }
}
