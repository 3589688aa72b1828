#pragma once
// Scope guard over a markup parser's position: records the parent, main and child position when
// constructed and puts it back when destroyed, also while an exception unwinds the scope. The
// caller keeps ownership of the parser, which must outlive the guard. A null parser is allowed
// and does nothing.

#include "markup/CqzXMLParser.h"

class CqzXMLParserSavePos
{
public:
    explicit CqzXMLParserSavePos(CqzXMLParser* parser)
        : m_parser(parser), m_position(parser ? parser->GetPosition() : SqzXMLParserPos{})
    {
    }
    ~CqzXMLParserSavePos()
    {
        // A position that no longer fits the document (it was replaced meanwhile) is refused by
        // the parser, which then keeps its current position.
        if (m_parser)
            m_parser->SetPosition(m_position);
    }
    CqzXMLParserSavePos(const CqzXMLParserSavePos&) = delete;
    CqzXMLParserSavePos& operator=(const CqzXMLParserSavePos&) = delete;

private:
    CqzXMLParser* m_parser;
    SqzXMLParserPos m_position;
};
