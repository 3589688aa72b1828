#include "model/CqzFilterAction.h"

#include "editor/CqzFilterActionView.h"
#include "model/CqzFilterMessages.h"
#include "qzSystem/format/CqzHexFormatter.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "qzSystem/xml/CqzXMLParserSavePos.h"

namespace
{
const wchar_t* const TypeNames[] = {L"Show", L"Hide", L"Color"};

// A command colour: 7 characters, the first not checked (it is written as "h"), then three
// pairs of hexadecimal digits for bits 16-23, 8-15 and 0-7 of the value. A pair that is not
// hexadecimal refuses the colour instead of being read as zero.
bool ParseColor(const CString& text, unsigned int& color)
{
    if (text.GetLength() != 7)
        return false;
    const CqzHexFormatter hex(0);
    unsigned int value = 0;
    for (int pair = 0; pair < 3; ++pair)
    {
        std::uint64_t part = 0;
        if (!hex.TextToValue(text.Mid(1 + 2 * pair, 2), part))
            return false;
        value = value * 256 + static_cast<unsigned int>(part & 0xFF);
    }
    color = value;
    return true;
}
} // namespace

CqzFilterAction::CqzFilterAction(const CqzFilterAction& other)
    : CqzSearchComponentModel(other), m_type(other.m_type), m_color(other.m_color)
{
}

void CqzFilterAction::SetType(unsigned int type)
{
    if (type == m_type)
        return;
    m_type = type;
    CqzFilterActionChangedMessage message;
    UpdateAllObservers(nullptr, &message);
}

const wchar_t* CqzFilterAction::GetTypeName(unsigned int type)
{
    return type < std::size(TypeNames) ? TypeNames[type] : L"";
}

void CqzFilterAction::Save(CqzPersistenceSetup* setup) const
{
    const bool opened = setup->OpenTag(L"FilterAction", false);
    setup->Write(L"Color", static_cast<std::uint32_t>(m_color));
    setup->Write(L"Type", CString(GetTypeName(m_type)));
    if (opened)
        setup->CloseTag(false);
}

void CqzFilterAction::Load(CqzPersistenceSetup* setup)
{
    const bool opened = setup->OpenTag(L"FilterAction", false);
    std::uint32_t color = m_color;
    if (setup->Read(L"Color", color))
        m_color = color;
    CString type;
    setup->Read(L"Type", type);
    m_type = type == L"Color" ? eqzFilterColor : type == L"Show" ? eqzFilterShow : eqzFilterHide;
    if (opened)
        setup->CloseTag(false);
}

bool CqzFilterAction::QueryCommand(const CString&, CqzXMLParser& xml) const
{
    CqzXMLParserSavePos keep(&xml);
    xml.Descend();
    xml.AppendChild(L"FilterAction");
    const CString type = GetTypeName(m_type);
    xml.SetChildAttribute(L"Type", type);
    if (type == L"Color")
    {
        CString color;
        color.Format(L"h%06x", m_color);
        xml.SetChildAttribute(L"Color", color);
    }
    return true;
}

bool CqzFilterAction::DoCommands(CqzXMLParser& xml)
{
    CqzXMLParserSavePos keep(&xml);
    xml.FindNextChild(L"FilterAction");
    const CString type = xml.GetChildAttribute(L"Type");
    if (type == L"Hide" || type == L"Show")
    {
        m_type = type == L"Hide" ? eqzFilterHide : eqzFilterShow;
        return true;
    }
    if (type != L"Color")
        return false;
    m_type = eqzFilterColor;
    return ParseColor(xml.GetChildAttribute(L"Color"), m_color);
}

CqzFilterAction::CqzFilterAction() = default;
CqzFilterAction::~CqzFilterAction() = default;

bool CqzFilterAction::AttachView(CqzSearchCreateViewParameters& parameters)
{
    if (m_view)
        return m_view->PlaceControls(parameters);
    m_view = std::make_unique<CqzFilterActionView>();
    m_view->SetModel(this);
    return m_view->CreateControls(parameters);
}

void CqzFilterAction::UpdateView(std::vector<CWnd*>& windows)
{
    if (m_view)
        m_view->GetWindows(windows);
}

void CqzFilterAction::DetachView()
{
    m_view.reset();
}
