#include "qzSystem/search/CqzSearchModel.h"

#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "qzSystem/search/CqzSearchEventBracket.h"
#include "qzSystem/search/CqzSearchMarkupReader.h"
#include "qzSystem/search/CqzSearchMarkupWriter.h"
#include "qzSystem/xml/CqzXMLParserSavePos.h"

CqzSearchModel::CqzSearchModel()
    : CqzSearchModel(DefaultSingleBitOptions(), DefaultMultiBitOptions())
{
}

CqzSearchModel::CqzSearchModel(const CqzBitSet& singleBitOptions, const CqzBitSet& multiBitOptions)
    : m_singleBitOptions(singleBitOptions), m_multiBitOptions(multiBitOptions)
{
}

namespace
{

// Component kinds in a setup.
enum : std::uint32_t
{
    KindEvent = 0,
    KindConj = 1,
    KindOpen = 2,
    KindClose = 3
};

CString Numbered(const wchar_t* name, std::uint32_t i)
{
    CString text;
    text.Format(L"%s%u", name, i);
    return text;
}

void WriteWide(CqzPersistenceSetup* setup, const wchar_t* name, const CqzUInt& value)
{
    for (int w = 0; w < 4; ++w)
        setup->Write(Numbered(name, static_cast<std::uint32_t>(w)), value.GetWord(w));
}

CqzUInt ReadWide(CqzPersistenceSetup* setup, const wchar_t* name)
{
    CqzUInt value;
    for (int w = 0; w < 4; ++w)
    {
        std::uint32_t word = 0;
        setup->Read(Numbered(name, static_cast<std::uint32_t>(w)), word);
        value.SetWord(w, word);
    }
    return value;
}

void SavePattern(CqzPersistenceSetup* setup, const CqzPatternModel& p)
{
    setup->Write(L"Label", p.GetLabelInfo().GetLabelID().ToString());
    setup->Write(L"Channel", static_cast<std::uint32_t>(p.GetLabelInfo().GetChannel()));
    setup->Write(L"MultiBit", p.IsMultiBitMode());
    setup->Write(L"MultiBitChoice", static_cast<std::uint32_t>(p.GetMultiBitChoice()));
    setup->Write(L"SingleBitChoice", static_cast<std::uint32_t>(p.GetSingleBitChoice()));
    CqzUInt value, second;
    p.GetValue(value, second);
    WriteWide(setup, L"Value", value);
    WriteWide(setup, L"Second", second);
    CString text;
    p.GetValue(text);
    setup->Write(L"Text", text);
}

CqzPatternModel LoadPattern(CqzPersistenceSetup* setup)
{
    CString labelText;
    std::uint32_t channel = static_cast<std::uint32_t>(-1), multiChoice = 1, singleChoice = 4;
    bool multiBit = true;
    CString text;
    setup->Read(L"Label", labelText);
    setup->Read(L"Channel", channel);
    setup->Read(L"MultiBit", multiBit);
    setup->Read(L"MultiBitChoice", multiChoice);
    setup->Read(L"SingleBitChoice", singleChoice);
    setup->Read(L"Text", text);
    CqzID label;
    label.SetValue(labelText); // an unreadable identifier stays unknown; validation drops it
    CqzPatternModel p(CqzLabelChannel(label, static_cast<int>(channel)));
    p.SetMultiBitMode(multiBit);
    p.SetMultiBitChoice(static_cast<int>(multiChoice));
    p.SetSingleBitChoice(static_cast<int>(singleChoice));
    p.SetValue(ReadWide(setup, L"Value"), ReadWide(setup, L"Second"));
    p.SetValue(text);
    return p;
}

void SaveComponent(CqzPersistenceSetup* setup, const CqzSearchComponentModel* c)
{
    if (auto* event = dynamic_cast<const CqzSearchEventLabel*>(c))
    {
        setup->Write(L"Kind", static_cast<std::uint32_t>(KindEvent));
        SavePattern(setup, *event->GetEventLabel());
    }
    else if (auto* conj = dynamic_cast<const CqzSearchEventConj*>(c))
    {
        setup->Write(L"Kind", static_cast<std::uint32_t>(KindConj));
        setup->Write(L"Type", static_cast<std::uint32_t>(conj->GetType()));
    }
    else if (auto* bracket = dynamic_cast<const CqzSearchEventBracket*>(c))
        setup->Write(L"Kind",
                     static_cast<std::uint32_t>(bracket->IsOpening() ? KindOpen : KindClose));
}

// False for a component of an unknown kind.
bool LoadComponent(CqzPersistenceSetup* setup, CqzSearchEventList& events)
{
    std::uint32_t kind = ~0u, type = 0;
    setup->Read(L"Kind", kind);
    switch (kind)
    {
    case KindEvent:
        events.AddEvent(LoadPattern(setup));
        return true;
    case KindConj:
        setup->Read(L"Type", type);
        events.AddConj(type == 0 ? eqzConjAnd : eqzConjOr);
        return true;
    case KindOpen:
    case KindClose:
        events.AddBracket(kind == KindOpen);
        return true;
    default:
        return false;
    }
}

} // namespace

void CqzSearchModel::Save(CqzPersistenceSetup* setup) const
{
    if (!setup->OpenTag(L"SearchModel", false))
        return;
    const CqzSearchEventList& events = *m_ifClause.GetEventList();
    setup->Write(L"Enabled", m_enabled);
    setup->Write(L"Inverted", m_inverted);
    setup->Write(L"NumberOfComponents", static_cast<std::uint32_t>(events.GetComponentCount()));
    for (int i = 0; i < events.GetComponentCount(); ++i)
    {
        if (setup->OpenTag(Numbered(L"Component", static_cast<std::uint32_t>(i)), false))
        {
            SaveComponent(setup, events.GetComponentAt(i));
            setup->CloseTag(false);
        }
    }
    setup->CloseTag(false);
}

void CqzSearchModel::Load(CqzPersistenceSetup* setup)
{
    CqzSearchEventList& events = *m_ifClause.GetEventList();
    events.Clear();
    if (!setup->OpenTag(L"SearchModel", false))
        return;
    std::uint32_t count = 0;
    setup->Read(L"Enabled", m_enabled);
    setup->Read(L"Inverted", m_inverted);
    setup->Read(L"NumberOfComponents", count);
    // A count larger than the components stored ends at the first missing one.
    bool ok = true;
    for (std::uint32_t i = 0; ok && i < count; ++i)
    {
        ok = setup->OpenTag(Numbered(L"Component", i), false);
        if (ok)
        {
            ok = LoadComponent(setup, events);
            setup->CloseTag(false);
        }
    }
    setup->CloseTag(false);
    if (!ok || !events.IsWellFormed())
        events.Clear();
}

bool CqzSearchModel::QueryCommand(const CString&, CqzXMLParser& xml) const
{
    CqzXMLParserSavePos keep(&xml);
    return CqzSearchMarkupWriter(xml).Write(*m_ifClause.GetEventList(), m_enabled, m_inverted);
}

bool CqzSearchModel::DoCommands(CqzXMLParser& xml)
{
    CqzSearchEventList events;
    bool enabled = true, inverted = false;
    {
        CqzXMLParserSavePos keep(&xml);
        if (!xml.FindNextChild(L"Search"))
            return true;
        if (!CqzSearchMarkupReader::ReadFlag(xml.GetChildAttribute(L"Enabled"), true, enabled) ||
            !CqzSearchMarkupReader::ReadFlag(xml.GetChildAttribute(L"Inverted"), false, inverted))
            return false;
        xml.Descend();
        if (!CqzSearchMarkupReader(xml).Read(events))
            return false;
    }
    *m_ifClause.GetEventList() = events;
    m_enabled = enabled;
    m_inverted = inverted;
    xml.FindNextChild(L"Search");
    return true;
}
