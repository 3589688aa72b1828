#include "evaluation/CqzFilterTreeStringOperand.h"

CqzFilterTreeStringOperand::CqzFilterTreeStringOperand(int index, const CString& pattern, int mode)
    : CqzFilterTreeOperandBase(index), m_pattern(pattern), m_mode(mode)
{
    m_pattern.MakeLower();
}

bool CqzFilterTreeStringOperand::Evaluate()
{
    const CString* text = GetUsableText();
    if (text == nullptr)
        return false;
    return Matches(*text, m_current);
}

bool CqzFilterTreeStringOperand::Matches(const wchar_t* text, CString& scratch) const
{
    scratch = text;
    scratch.MakeLower();
    const bool found = scratch.Find(m_pattern) >= 0;
    if (m_mode == Contains)
        return found;
    if (m_mode == NotContains)
        return !found;
    return false;
}

CqzFilterTreeNode* CqzFilterTreeStringOperand::Clone() const
{
    // The stored pattern is already lower case; lowering it again changes nothing.
    return new CqzFilterTreeStringOperand(GetIndex(), m_pattern, m_mode);
}
