#include "qzSystem/search/CqzPatternModel.h"

#include "qzSystem/search/CqzSearchEventListMessage.h"

void CqzPatternModel::Changed()
{
    CqzSearchEventListMessage message(eqzSearchPatternChanged);
    UpdateAllObservers(nullptr, &message);
}

void CqzPatternModel::SetLabelInfo(const CqzLabelChannel& label)
{
    m_label = label;
    Changed();
}

void CqzPatternModel::SetMultiBitMode(bool multiBit)
{
    m_multiBit = multiBit;
    Changed();
}

void CqzPatternModel::SetMultiBitChoice(int choice)
{
    m_multiChoice = choice;
    Changed();
}

void CqzPatternModel::SetSingleBitChoice(int choice)
{
    m_singleChoice = choice;
    Changed();
}

void CqzPatternModel::GetValue(CqzUInt& value, CqzUInt& second, bool) const
{
    value = m_value;
    second = m_second;
}

void CqzPatternModel::SetValue(const CqzUInt& value, const CqzUInt& second)
{
    m_value = value;
    m_second = second;
    Changed();
}

void CqzPatternModel::SetValue(const CString& text)
{
    m_text = text;
    Changed();
}

bool operator==(const CqzPatternModel& a, const CqzPatternModel& b)
{
    return a.m_label == b.m_label && a.m_multiBit == b.m_multiBit &&
           a.m_multiChoice == b.m_multiChoice && a.m_singleChoice == b.m_singleChoice &&
           a.m_value == b.m_value && a.m_second == b.m_second && a.m_text == b.m_text;
}
