#pragma once
// Writes a term's search expression in a line of test code:
//
//   CqzSearchModel search = SearchBuilder().Is(L"ADDR", 7, 0x10, 0x20).And().Is(L"STAT", 1, 3)
//                               .Build();
//
// Is() takes a multi-bit choice (1 "=", 2 "!=", 3 "<", 4 ">", 5 "<=", 6 ">=", 7 in range,
// 8 not in range) with the value and the don't-care bits or the second bound; Text() a choice
// with a text; Edge() a single-bit choice. Labels are looked up by name.

#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/search/CqzSearchModel.h"

#include <stdexcept>

class SearchBuilder
{
public:
    SearchBuilder& Is(const wchar_t* label, int choice, CqzUInt value, CqzUInt second = CqzUInt())
    {
        CqzPatternModel pattern(Channel(label));
        pattern.SetMultiBitMode(true);
        pattern.SetMultiBitChoice(choice);
        pattern.SetValue(value, second);
        return Add(pattern);
    }
    SearchBuilder& Text(const wchar_t* label, int choice, const wchar_t* text)
    {
        CqzPatternModel pattern(Channel(label));
        pattern.SetMultiBitMode(true);
        pattern.SetMultiBitChoice(choice);
        pattern.SetValue(CString(text));
        return Add(pattern);
    }
    SearchBuilder& Edge(const wchar_t* label, int singleBitChoice)
    {
        CqzPatternModel pattern(Channel(label));
        pattern.SetMultiBitMode(false);
        pattern.SetSingleBitChoice(singleBitChoice);
        return Add(pattern);
    }
    SearchBuilder& And() { return Conj(eqzConjAnd); }
    SearchBuilder& Or() { return Conj(eqzConjOr); }
    SearchBuilder& Open() { return Bracket(true); }
    SearchBuilder& Close() { return Bracket(false); }

    CqzSearchModel Build() const { return m_search; }

private:
    static CqzLabelChannel Channel(const wchar_t* name)
    {
        const CqzLabel* label = CqzLabelMgr::Instance().NameToLabel(name);
        if (label == nullptr)
            throw std::invalid_argument("no label of that name");
        return CqzLabelChannel(label->GetLabelID(), -1);
    }
    SearchBuilder& Add(const CqzPatternModel& pattern)
    {
        m_search.GetIfClause().GetEventList()->AddEvent(pattern);
        return *this;
    }
    SearchBuilder& Conj(EqzSearchEventConjType type)
    {
        m_search.GetIfClause().GetEventList()->AddConj(type);
        return *this;
    }
    SearchBuilder& Bracket(bool opening)
    {
        m_search.GetIfClause().GetEventList()->AddBracket(opening);
        return *this;
    }

    CqzSearchModel m_search;
};
