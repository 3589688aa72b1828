#pragma once
// Writes a search expression as markup: one "Search" element with its flags, whose children
// are "Event" elements (label by name, operator by word, values in "h" form), "Conj" elements
// ("AND" or "OR") and, for each bracketed part, a "Group" element holding the same kinds of
// children. Used by CqzSearchModel::QueryCommand; holds the parser only while writing.

#include "mfc/CString.h"

class CqzPatternModel;
class CqzSearchEventList;
class CqzXMLParser;

class CqzSearchMarkupWriter
{
public:
    explicit CqzSearchMarkupWriter(CqzXMLParser& xml) : m_xml(xml) {}

    // Appends "Search" after the current child of the main element (after its last child when
    // there is none) and writes the expression into it. False when the parser has no main
    // element. The parser is left inside "Search"; callers restore their position.
    bool Write(const CqzSearchEventList& events, bool enabled, bool inverted);

    // The label's name, or its identifier in registry form when the label manager does not
    // know it (such an event is refused when read back, rather than silently renamed).
    static CString LabelText(const CqzPatternModel& pattern);

private:
    void WriteEvent(const CqzPatternModel& pattern);

    CqzXMLParser& m_xml;
};
