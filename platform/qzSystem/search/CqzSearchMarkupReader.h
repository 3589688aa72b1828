#pragma once
// Reads the children of a "Search" element (the vocabulary of CqzSearchMarkupWriter) into an
// event list. Strict: an unknown element, label or operator, a malformed number or an
// expression that is not well formed (empty, a missing operand, two operands without a
// conjunction, an empty group) refuses the whole expression. Used by CqzSearchModel::DoCommands.

#include "mfc/CString.h"

class CqzLabel;
class CqzSearchEventList;
struct CqzSearchMarkupOp;
class CqzXMLParser;

class CqzSearchMarkupReader
{
public:
    // Groups nested deeper than this are refused (no real expression comes close).
    static constexpr int MaxGroupDepth = 64;

    explicit CqzSearchMarkupReader(CqzXMLParser& xml) : m_xml(xml) {}

    // With the "Search" element as the parser's main element, appends its expression to
    // `events`, which should be empty. On false `events` holds a part of the expression and
    // must be thrown away. The parser's position is left inside "Search".
    bool Read(CqzSearchEventList& events);

    // A flag attribute: empty (absent) gives the default, "T" true, "F" false, anything else
    // is refused.
    static bool ReadFlag(const CString& text, bool absent, bool& value);
    // Whether the operator goes with the label's kind: "Contains" and "NotContains" with text
    // labels only, "Equal" and "NotEqual" with the others only.
    static bool Fits(const CqzSearchMarkupOp& op, const CqzLabel& label);

private:
    bool ReadChildren(CqzSearchEventList& events, int depth);
    bool ReadEvent(CqzSearchEventList& events) const;
    bool ReadConj(CqzSearchEventList& events) const;
    bool ReadChannel(const CqzLabel& label, int& channel) const;

    CqzXMLParser& m_xml;
};
