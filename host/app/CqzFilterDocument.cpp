#include "CqzFilterDocument.h"

#include "qzSystem/xml/CqzXMLParserSavePos.h"

CqzFilterDocument::CqzFilterDocument()
{
    Reset();
}

void CqzFilterDocument::Reset()
{
    m_xml = CqzXMLParser();
    m_xml.AppendElement(L"Filter");
    m_xml.SetAttribute(L"Enabled", true);
}

bool CqzFilterDocument::SetBase(const CString& setup)
{
    if (m_xml.SetDocument(setup) && m_xml.FindNext(L"/Filter"))
        return true;
    Reset();
    return false;
}

void CqzFilterDocument::AddTerm(const SqzHostFilterTerm& term)
{
    m_xml.AppendChild(L"FilterExpression");
    m_xml.SetChildAttribute(L"Name", term.name);
    term.search.QueryCommand(CString(), m_xml);
    AddAction(term);
}

void CqzFilterDocument::AddAction(const SqzHostFilterTerm& term)
{
    CqzXMLParserSavePos keep(&m_xml);
    m_xml.Descend();
    m_xml.AppendChild(L"FilterAction");
    m_xml.SetChildAttribute(L"Type", ActionName(term.action));
    if (term.action == eqzHostColor)
    {
        CString color;
        color.Format(L"h%06x", static_cast<unsigned>(term.color & 0xFFFFFF));
        m_xml.SetChildAttribute(L"Color", color);
    }
}

const wchar_t* CqzFilterDocument::ActionName(EqzHostAction action)
{
    switch (action)
    {
    case eqzHostShow:
        return L"Show";
    case eqzHostColor:
        return L"Color";
    case eqzHostHide:
        break;
    }
    return L"Hide";
}
