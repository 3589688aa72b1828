#include "qzSystem/search/CqzSearchMarkupReader.h"

#include "markup/CqzXMLParser.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/search/CqzSearchEventList.h"
#include "qzSystem/search/CqzSearchMarkupNumber.h"
#include "qzSystem/search/CqzSearchMarkupOp.h"

bool CqzSearchMarkupReader::Read(CqzSearchEventList& events)
{
    return ReadChildren(events, 0) && events.IsWellFormed();
}

bool CqzSearchMarkupReader::ReadFlag(const CString& text, bool absent, bool& value)
{
    if (text.IsEmpty())
        value = absent;
    else if (text == L"T" || text == L"F")
        value = text == L"T";
    else
        return false;
    return true;
}

bool CqzSearchMarkupReader::ReadChildren(CqzSearchEventList& events, int depth)
{
    while (m_xml.FindNextChild())
    {
        const CString tag = m_xml.GetChildTag();
        bool ok = false;
        if (tag == L"Event")
            ok = ReadEvent(events);
        else if (tag == L"Conj")
            ok = ReadConj(events);
        else if (tag == L"Group" && depth < MaxGroupDepth)
        {
            events.AddBracket(true);
            m_xml.Descend();
            ok = ReadChildren(events, depth + 1);
            m_xml.Ascend();
            events.AddBracket(false);
        }
        if (!ok)
            return false;
    }
    return true;
}

bool CqzSearchMarkupReader::ReadConj(CqzSearchEventList& events) const
{
    const CString type = m_xml.GetChildAttribute(L"Type");
    if (type != L"AND" && type != L"OR")
        return false;
    events.AddConj(type == L"AND" ? eqzConjAnd : eqzConjOr);
    return true;
}

// "Contains" and "NotContains" are for string labels only, and "Equal" and "NotEqual" (the
// same choices) for the others only, so that what is read is written back unchanged.
bool CqzSearchMarkupReader::Fits(const CqzSearchMarkupOp& op, const CqzLabel& label)
{
    if (!op.multiBit || op.choice > eqzMultiNotEqual)
        return true;
    return (op.operand == eqzOperandText) == label.IsType(eqzLabelString);
}

bool CqzSearchMarkupReader::ReadChannel(const CqzLabel& label, int& channel) const
{
    const CString text = m_xml.GetChildAttribute(L"Channel");
    if (text.IsEmpty())
        return true;
    // A bit of the label: below its width, and never beyond the widest label.
    const int limit = label.GetWidth() > 0 && label.GetWidth() < 128 ? label.GetWidth() : 128;
    int value = 0;
    for (int i = 0; i < text.GetLength(); ++i)
    {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        value = value * 10 + (text[i] - L'0');
        if (value >= limit)
            return false;
    }
    channel = value;
    return true;
}

bool CqzSearchMarkupReader::ReadEvent(CqzSearchEventList& events) const
{
    const CqzLabel* label = CqzLabelMgr::Instance().NameToLabel(m_xml.GetChildAttribute(L"Label"));
    const CqzSearchMarkupOp* op = CqzSearchMarkupOp::FromName(m_xml.GetChildAttribute(L"Op"));
    int channel = -1;
    if (label == nullptr || op == nullptr || !Fits(*op, *label) || !ReadChannel(*label, channel))
        return false;
    CqzPatternModel pattern(CqzLabelChannel(label->GetLabelID(), channel));
    pattern.SetMultiBitMode(op->multiBit);
    if (op->multiBit)
        pattern.SetMultiBitChoice(op->choice);
    else
        pattern.SetSingleBitChoice(op->choice);
    CqzUInt value, second, dontCare;
    switch (op->operand)
    {
    case eqzOperandValue:
        if (!CqzSearchMarkupNumber::Parse(m_xml.GetChildAttribute(L"Value"), value, second))
            return false;
        if (const CString mask = m_xml.GetChildAttribute(L"DontCare"); !mask.IsEmpty())
        {
            if (!CqzSearchMarkupNumber::Parse(mask, dontCare))
                return false;
            second |= dontCare;
        }
        pattern.SetValue(value, second);
        break;
    case eqzOperandRange:
        if (!CqzSearchMarkupNumber::Parse(m_xml.GetChildAttribute(L"Low"), value) ||
            !CqzSearchMarkupNumber::Parse(m_xml.GetChildAttribute(L"High"), second))
            return false;
        pattern.SetValue(value, second);
        break;
    case eqzOperandText:
        pattern.SetValue(m_xml.GetChildAttribute(L"Text"));
        break;
    case eqzOperandNone:
        // A level pattern compares the sample with its value: 1 for High, 0 for Low.
        pattern.SetValue(CqzUInt(op->choice == eqzSingleHigh ? 1 : 0), CqzUInt());
        break;
    }
    events.AddEvent(pattern);
    return true;
}
