#pragma once
// The pattern of one event: which label (and channel) it tests and how. In multi-bit mode a
// choice compares the label's value with a value and don't-care bits, or with two bounds, or
// (string labels) looks for a text; in single-bit mode it is an edge pattern with an edge or
// level choice. Every change sends "pattern changed" (4306) to the observers.

#include "qzSystem/ids/CqzLabelChannel.h"
#include "qzSystem/ids/CqzUInt.h"
#include "qzSystem/search/CqzSearchComponentModel.h"

// Multi-bit choices; for string labels 1 means "contains" and 2 "does not contain".
enum EqzMultiBitChoices
{
    eqzMultiEqual = 1,
    eqzMultiNotEqual = 2,
    eqzMultiLess = 3,
    eqzMultiGreater = 4,
    eqzMultiLessEqual = 5,
    eqzMultiGreaterEqual = 6,
    eqzMultiInRange = 7,
    eqzMultiNotInRange = 8,
    // 9 to 11 are transitions that the filter does not evaluate.
    eqzMultiContains = 1,
    eqzMultiNotContains = 2
};

enum EqzSingleBitChoices
{
    eqzSingleRising = 1,
    eqzSingleFalling = 2,
    eqzSingleEither = 3,
    eqzSingleHigh = 4,
    eqzSingleLow = 5,
    eqzSingleDontCare = 6
};

class CqzPatternModel : public CqzSearchComponentModel
{
public:
    CqzPatternModel() = default;
    explicit CqzPatternModel(const CqzLabelChannel& label) : m_label(label) {}
    CqzSearchComponentModel* Clone() const override { return new CqzPatternModel(*this); }

    const CqzLabelChannel& GetLabelInfo() const { return m_label; }
    void SetLabelInfo(const CqzLabelChannel& label);

    bool IsMultiBitMode() const { return m_multiBit; }
    void SetMultiBitMode(bool multiBit);
    // A pattern in single-bit mode is an edge pattern.
    bool IsEdge() const { return !m_multiBit; }

    int GetMultiBitChoice(bool = true) const { return m_multiChoice; }
    void SetMultiBitChoice(int choice);
    int GetSingleBitChoice(bool = true) const { return m_singleChoice; }
    void SetSingleBitChoice(int choice);

    // Comparison choices: the value and its don't-care bits; range choices: the two bounds.
    void GetValue(CqzUInt& value, CqzUInt& second, bool = true) const;
    void SetValue(const CqzUInt& value, const CqzUInt& second);
    void GetValue(CString& text, bool = true) const { text = m_text; }
    void SetValue(const CString& text);

    friend bool operator==(const CqzPatternModel& a, const CqzPatternModel& b);

private:
    void Changed();

    CqzLabelChannel m_label;
    bool m_multiBit = true;
    int m_multiChoice = eqzMultiEqual;
    int m_singleChoice = eqzSingleHigh;
    CqzUInt m_value;
    CqzUInt m_second;
    CString m_text;
};
