#pragma once
// One parse of a document text into a CqzXMLIndex. Reads the root element and everything inside
// it; text after the root element is not examined. Lives for one call of CqzXMLIndex::Parse.

#include "markup/CqzXMLIndex.h"
#include "mfc/CString.h"

#include <string_view>

class CqzXMLIndexBuilder
{
public:
    CqzXMLIndexBuilder(std::wstring_view text, CqzXMLIndex& index, CString& error);

    // Indexes the root element and its descendants. Answers the root's record, or 0 with the
    // error text set.
    int Run();

private:
    int Elements();
    int StartElement(int parent);
    int SkipNode(int pos) const;
    int SkipDeclaration(int pos) const;
    bool EndElement(int record);
    int Find(wchar_t c, int from) const;
    int Find(std::wstring_view s, int from) const;
    int Fail(const wchar_t* text, int record = 0);
    bool FailEnd(const wchar_t* text, int record);

    std::wstring_view m_text;
    int m_length;
    CqzXMLIndex& m_index;
    CString& m_error;
};
