#pragma once
// Reads the compact expression of a command-line term into a search model:
//
//   ADDR in 0x1000..0x1fff and (STAT == 0x3? or MSG ~ "err")
//
// Events: LABEL OP NUMBER with == != < > <= >=; LABEL in A..B and LABEL not in A..B; LABEL ~ "text"
// and LABEL !~ "text" on text labels; LABEL rising|falling|either|high|low on one-bit labels or
// one bit of a bus (STAT[2]). Events are joined by and/or (&&, ||); 'and' binds tighter than
// 'or', and brackets group explicitly. The expression becomes the flat list of events,
// conjunctions and brackets of the search model, in the order written. The filter evaluates
// that list with equal precedence from the left, so the parser adds brackets around every 'and'
// run that stands next to an 'or': A or B and C becomes A or (B and C). The parser does not own
// the labels it is given; they must outlive it.

#include "qzSystem/labels/CqzLabel.h"
#include "qzSystem/search/CqzSearchModel.h"

#include <memory>
#include <string>
#include <vector>

class CqzTermParser
{
public:
    // Brackets may nest this deep. With the brackets the parser adds (at most one more level
    // per level written, and one outside) the markup of the search stays readable.
    static constexpr int MaxDepth = 31;

    // The labels terms may name: digital, integral and text labels; others are left out.
    explicit CqzTermParser(const std::vector<const CqzLabel*>& labels);
    ~CqzTermParser();

    // Throws CqzTermError with the column of the problem. `notes` (if given) receives remarks
    // about events that parse but can never match.
    CqzSearchModel Parse(const std::string& expression,
                         std::vector<std::string>* notes = nullptr) const;

    // The label with this name, or a bit of a digital bus written NAME[bit]; null when there
    // is none. `channel` is -1 for a whole label.
    const CqzLabel* FindLabel(const std::wstring& name, int& channel) const;
    // Label names close to an unknown one, best first (at most three).
    std::vector<std::wstring> Suggest(const std::wstring& name) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
