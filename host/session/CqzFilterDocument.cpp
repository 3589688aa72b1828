#include "CqzFilterDocument.h"

#include "CqzColorName.h"
#include "qzSystem/xml/CqzXMLParserSavePos.h"

#include <cwchar>

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
    WriteTerm(term);
}

void CqzFilterDocument::InsertFirstTerm(const SqzHostFilterTerm& term)
{
    m_xml.ClearChild();
    m_xml.InsertChild(L"FilterExpression");
    WriteTerm(term);
}

// The name, search and action of the child element just made.
void CqzFilterDocument::WriteTerm(const SqzHostFilterTerm& term)
{
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

namespace
{

// The action element of the current term as "Hide", "Show" or "Color #rrggbb". Colours in
// markup are written h00BBGGRR, as a COLORREF holds them.
std::string DescribeAction(CqzXMLParser& xml)
{
    if (!xml.FindNextChild(L"FilterAction"))
        return "Hide";
    const CString type = xml.GetChildAttribute(L"Type");
    if (type != L"Color")
        return type.ToUtf8();
    const CString color = xml.GetChildAttribute(L"Color");
    const COLORREF value = static_cast<COLORREF>(
        std::wcstoul(color.Str().c_str() + (color.Left(1) == L"h"), nullptr, 16));
    return "Color " + CqzColorName::Format(value);
}

} // namespace

std::vector<std::string> CqzFilterDocument::DescribeTerms(const CString& setup)
{
    std::vector<std::string> lines;
    for (const SqzSetupTerm& term : ReadTerms(setup))
        lines.push_back(term.action + ": " + term.name + (term.enabled ? "" : " (disabled)"));
    return lines;
}

std::vector<SqzSetupTerm> CqzFilterDocument::ReadTerms(const CString& setup)
{
    std::vector<SqzSetupTerm> terms;
    CqzXMLParser xml;
    if (!xml.SetDocument(setup) || !xml.FindNext(L"/Filter"))
        return terms;
    while (xml.FindNextChild(L"FilterExpression"))
    {
        const CString name = xml.GetChildAttribute(L"Name");
        xml.Descend();
        const bool enabled =
            !xml.FindNextChild(L"Search") || xml.GetChildAttribute(L"Enabled") != L"F";
        terms.push_back({DescribeAction(xml), name.ToUtf8(), enabled});
        xml.Ascend();
    }
    return terms;
}
