#pragma once
// Text leaf, case-insensitive: mode 1 true when the sample's text contains the pattern, mode 0
// when it does not; any other mode is never true.

#include "evaluation/CqzFilterTreeOperandBase.h"

class CqzFilterTreeStringOperand final : public CqzFilterTreeOperandBase
{
public:
    static constexpr int NotContains = 0;
    static constexpr int Contains = 1;

    // Stores the pattern in lower case.
    CqzFilterTreeStringOperand(int index, const CString& pattern, int mode);
    bool Evaluate() override;
    // The leaf's answer for a usable text; scratch receives the text in lower case.
    bool Matches(const wchar_t* text, CString& scratch) const;
    CqzFilterTreeNode* Clone() const override;
    const CString& GetPattern() const { return m_pattern; }
    int GetMode() const { return m_mode; }

private:
    CString m_pattern;
    CString m_current;
    int m_mode;
};
