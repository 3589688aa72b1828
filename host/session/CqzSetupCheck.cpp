#include "CqzSetupCheck.h"

#include "CqzHostError.h"
#include "CqzTermParser.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "qzSystem/search/CqzPatternCheck.h"
#include "qzSystem/search/CqzSearchEventList.h"
#include "qzSystem/search/CqzSearchMarkupOp.h"
#include "qzSystem/search/CqzSearchMarkupReader.h"
#include "qzSystem/search/CqzSearchModel.h"

namespace
{

CString Numbered(const wchar_t* prefix, std::uint32_t index)
{
    CString name;
    name.Format(L"%s%u", prefix, index);
    return name;
}

// Whether the tags PREFIX0 to PREFIX<count-1> are there and no other of that form.
bool CountAgrees(const CqzPersistenceSetup& setup, const wchar_t* prefix, std::uint32_t count,
                 std::size_t& stored)
{
    const std::vector<std::uint64_t> indices = setup.GetTagNumbers(prefix);
    stored = indices.size();
    return indices.size() == count && (count == 0 || indices.back() == count - 1);
}

std::string Quoted(const CString& text)
{
    return "'" + text.ToUtf8() + "'";
}

} // namespace

CqzSetupCheck::CqzSetupCheck(const std::vector<const CqzLabel*>& labels, const std::string& path)
    : m_labels(labels), m_path(path)
{
    for (const CqzLabel* label : labels)
    {
        m_byName.emplace(label->GetName(), label);
        m_byID.emplace(label->GetLabelID(), label);
    }
}

void CqzSetupCheck::Fail(int term, const CString& name, const std::string& reason) const
{
    std::string where = m_path + ": term " + std::to_string(term);
    if (!name.IsEmpty())
        where += " " + Quoted(name);
    throw CqzHostError(eqzExitFile, where + ": " + reason);
}

// ---------------------------------------------------------------------------------------------
// Markup

void CqzSetupCheck::CheckMarkup(const CqzXMLParser& document) const
{
    CqzXMLParser xml(document);
    if (!xml.FindNext(L"/Filter"))
        return;
    for (int term = 1; xml.FindNextChild(L"FilterExpression"); ++term)
    {
        const CString name = xml.GetChildAttribute(L"Name");
        xml.Descend();
        if (xml.FindNextChild(L"Search"))
        {
            xml.Descend();
            CheckGroup(xml, term, name, 0);
            // The structure is sound: the values and operators of the events it reads into,
            // read from here and back (a copy of the parser would copy the whole document).
            const SqzXMLParserPos position = xml.GetPosition();
            CqzSearchEventList events;
            const bool read = CqzSearchMarkupReader(xml).Read(events);
            xml.SetPosition(position);
            if (read)
                CheckPatterns(events, term, name);
            xml.Ascend();
        }
        xml.Ascend();
    }
}

void CqzSetupCheck::CheckGroup(CqzXMLParser& xml, int term, const CString& name, int depth) const
{
    while (xml.FindNextChild())
    {
        const CString tag = xml.GetChildTag();
        if (tag == L"Event")
            CheckEvent(xml, term, name);
        else if (tag == L"Group")
        {
            if (depth >= CqzSearchMarkupReader::MaxGroupDepth)
                Fail(term, name,
                     "groups are nested deeper than " +
                         std::to_string(CqzSearchMarkupReader::MaxGroupDepth) + " levels");
            xml.Descend();
            CheckGroup(xml, term, name, depth + 1);
            xml.Ascend();
        }
        else if (tag != L"Conj")
            Fail(term, name, "unknown element <" + tag.ToUtf8() + "> in <Search>");
    }
}

void CqzSetupCheck::CheckEvent(const CqzXMLParser& xml, int term, const CString& name) const
{
    const CString labelName = xml.GetChildAttribute(L"Label");
    const auto found = m_byName.find(labelName);
    if (found == m_byName.end())
    {
        std::string reason =
            "unknown label " + Quoted(labelName) + ": the capture has no label of that name";
        const std::vector<std::wstring> close = CqzTermParser(m_labels).Suggest(labelName.Str());
        for (std::size_t i = 0; i < close.size(); ++i)
            reason += (i == 0 ? " (did you mean " : " or ") + Quoted(CString(close[i]));
        Fail(term, name, reason + (close.empty() ? "" : "?)"));
    }
    const CString opName = xml.GetChildAttribute(L"Op");
    const CqzSearchMarkupOp* op = CqzSearchMarkupOp::FromName(opName);
    if (op == nullptr)
        Fail(term, name, "label " + Quoted(labelName) + ": unknown operator " + Quoted(opName));
    if (!CqzSearchMarkupReader::Fits(*op, *found->second))
        Fail(term, name,
             "label " + Quoted(labelName) + ": operator " + Quoted(opName) +
                 (op->operand == eqzOperandText ? " is for text labels only"
                                                : " does not apply to a text label"));
}

std::string CqzSetupCheck::Refused(const CqzXMLParser& document, int read) const
{
    CqzXMLParser xml(document);
    CString name;
    if (xml.FindNext(L"/Filter"))
        for (int term = 0; term <= read && xml.FindNextChild(L"FilterExpression"); ++term)
            name = xml.GetChildAttribute(L"Name");
    return m_path + ": term " + std::to_string(read + 1) +
           (name.IsEmpty() ? "" : " " + Quoted(name)) +
           ": the filter tool refused it (a malformed number, a bit beyond the label's width, "
           "an unknown action or an expression that is not well formed)";
}

// ---------------------------------------------------------------------------------------------
// Binary setups

void CqzSetupCheck::CheckSetup(CqzPersistenceSetup& setup) const
{
    if (!setup.OpenTag(L"Filter", false))
        throw CqzHostError(eqzExitFile, m_path + ": the setup holds no filter (no Filter "
                                                 "element): it was not saved by this tool");
    if (setup.OpenTag(L"FilterModel", false))
    {
        std::uint32_t count = 0;
        setup.Read(L"NumberOfFilterTerms", count);
        setup.OpenTag(L"FilterTerms");
        std::size_t stored = 0;
        const bool agrees = CountAgrees(setup, L"FilterTerm", count, stored);
        for (std::uint32_t i = 0; agrees && i < count; ++i)
            CheckTerm(setup, static_cast<int>(i));
        setup.CloseTag();
        setup.CloseTag(false);
        if (!agrees)
        {
            setup.CloseTag(false);
            throw CqzHostError(eqzExitFile, m_path + ": the setup says it holds " +
                                                std::to_string(count) + " terms but " +
                                                std::to_string(stored) +
                                                " are stored (numbered from 0 without gaps)");
        }
    }
    setup.CloseTag(false);
}

void CqzSetupCheck::CheckTerm(CqzPersistenceSetup& setup, int term) const
{
    setup.OpenTag(Numbered(L"FilterTerm", static_cast<std::uint32_t>(term)), false);
    CString name;
    setup.Read(L"FilterName", name);
    CheckComponents(setup, term + 1, name);
    CString action;
    if (setup.OpenTag(L"FilterAction", false))
    {
        setup.Read(L"Type", action);
        setup.CloseTag(false);
    }
    if (action != L"Show" && action != L"Hide" && action != L"Color")
        Fail(term + 1, name, "unknown action " + Quoted(action));
    setup.CloseTag(false);
}

void CqzSetupCheck::CheckComponents(CqzPersistenceSetup& setup, int term, const CString& name) const
{
    if (!setup.OpenTag(L"SearchModel", false))
        Fail(term, name, "it has no expression");
    std::uint32_t count = 0;
    setup.Read(L"NumberOfComponents", count);
    std::size_t stored = 0;
    const bool agrees = CountAgrees(setup, L"Component", count, stored);
    setup.CloseTag(false);
    if (!agrees)
        Fail(term, name,
             "the expression says it has " + std::to_string(count) + " components but " +
                 std::to_string(stored) + " are stored");
    CqzSearchModel search;
    search.Load(&setup);
    const CqzSearchEventList& events = *search.GetIfClause().GetEventList();
    if (count == 0)
        Fail(term, name, "the expression is empty");
    if (events.GetComponentCount() != static_cast<int>(count))
        Fail(term, name,
             "the expression does not read back (an unknown component or an "
             "expression that is not well formed)");
    for (int i = 0; i < events.GetEventCount(); ++i)
    {
        const CqzID& label = events.GetEvent(i)->GetEventLabel()->GetLabelInfo().GetLabelID();
        if (!m_byID.contains(label))
            Fail(term, name,
                 "event " + std::to_string(i + 1) + " names the label " +
                     label.ToString().ToUtf8() + ", which this capture does not have");
    }
    if (!events.IsWellFormed())
        Fail(term, name, "the expression is not well formed");
    CheckPatterns(events, term, name);
}

void CqzSetupCheck::CheckPatterns(const CqzSearchEventList& events, int term,
                                  const CString& name) const
{
    for (int i = 0; i < events.GetEventCount(); ++i)
    {
        const CqzPatternModel& pattern = *events.GetEvent(i)->GetEventLabel();
        const auto label = m_byID.find(pattern.GetLabelInfo().GetLabelID());
        if (label == m_byID.end())
            continue; // a label the capture lacks is reported where the label is read
        if (const CString problem = CqzPatternCheck::PatternProblem(pattern, *label->second);
            !problem.IsEmpty())
            Fail(term, name, "event " + std::to_string(i + 1) + " (" +
                                 Quoted(label->second->GetName()) + "): " + problem.ToUtf8());
    }
}
