#pragma once
// Helpers shared by the markup parser tests.

#include "markup/CqzXMLParser.h"
#include "qzSystem/xml/CqzXMLParserSavePos.h"

#include <ostream>
#include <string>

// Lets test failures show texts readably.
inline void PrintTo(const CString& text, std::ostream* out)
{
    *out << '"' << text.ToUtf8() << '"';
}

namespace xmltest
{

// Every element below the main element, in document order, as "<tag|value>(children)". The
// value spans the text between the start and end tags, so the dump exercises every offset the
// parser keeps. The parser's position is left as it was.
inline std::wstring DumpChildren(CqzXMLParser& xml)
{
    CqzXMLParserSavePos keep(&xml);
    std::wstring out;
    xml.ClearChild();
    while (xml.FindNextChild())
    {
        out += L"<" + xml.GetChildTag().Str() + L"|" + xml.GetChildValue().Str() + L">(";
        xml.Descend();
        out += DumpChildren(xml);
        xml.Ascend();
        out += L")";
    }
    return out;
}

// The whole element tree, starting at the root element.
inline std::wstring DumpTree(CqzXMLParser& xml)
{
    CqzXMLParserSavePos keep(&xml);
    xml.SetPosition({});
    if (!xml.FindNext())
        return L"(no root)";
    return L"<" + xml.GetTag().Str() + L"|" + xml.GetValue().Str() + L">(" + DumpChildren(xml) +
           L")";
}

// The tree seen by the parser after its edits, and the tree of a fresh parse of its text.
inline bool IndexMatchesText(CqzXMLParser& xml)
{
    CqzXMLParser fresh(xml.GetDocument());
    return DumpTree(xml) == DumpTree(fresh);
}

} // namespace xmltest
