#pragma once
// The "Filter" markup document the host sends to the tool's command interface: the filter's
// enable flag and one "FilterExpression" per term, each with the search model's own "Search"
// element and a "FilterAction". Starts empty (an enabled filter without terms) or from the
// tool's current setup, so that command-line terms follow the terms of a loaded setup.

#include "CqzHostOptions.h"
#include "markup/CqzXMLParser.h"
#include "qzSystem/search/CqzSearchModel.h"

#include <string>
#include <vector>

// A term of a setup as a reader of the setup sees it: "Color #e63c3c", "Bus errors in red".
struct SqzSetupTerm
{
    std::string action;
    std::string name;
    bool enabled = true;
};

// A term ready to send: its name, search model and action.
struct SqzHostFilterTerm
{
    CString name;
    CqzSearchModel search;
    EqzHostAction action = eqzHostHide;
    COLORREF color = 0;
};

class CqzFilterDocument
{
public:
    // An enabled filter without terms.
    CqzFilterDocument();
    // Replaces the document by a setup (a reply to "GetSetup"); false, and an empty enabled
    // filter, when the text is not a "Filter" document.
    bool SetBase(const CString& setup);

    void AddTerm(const SqzHostFilterTerm& term);
    // Puts the term before every other term, so that it is tried first.
    void InsertFirstTerm(const SqzHostFilterTerm& term);

    const CString& GetText() const { return m_xml.GetDocument(); }

    // The markup word of an action type.
    static const wchar_t* ActionName(EqzHostAction action);
    // One line per term of a setup (a reply to "GetSetup"), for a reader of the exports:
    // "Color #e63c3c: Bus errors in red", "Hide: STAT == 0", "(disabled)" after a term that
    // is switched off.
    static std::vector<std::string> DescribeTerms(const CString& setup);
    // The terms of a setup in their order, switched off ones included.
    static std::vector<SqzSetupTerm> ReadTerms(const CString& setup);

private:
    void Reset();
    void AddAction(const SqzHostFilterTerm& term);
    void WriteTerm(const SqzHostFilterTerm& term);

    CqzXMLParser m_xml;
};
