// Feeds arbitrary text to the command-line term parser with a few labels registered. Whatever
// it accepts must be a well-formed expression that the search model's markup writes and reads
// back unchanged (that is how the host hands terms to the filter tool); whatever it refuses
// must be refused with a CqzTermError whose column lies within the text (or just past it).
#include "CqzFilterDocument.h"
#include "CqzTermError.h"
#include "CqzTermParser.h"
#include "markup/CqzXMLParser.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/search/CqzSearchEventList.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

std::vector<const CqzLabel*> RegisterLabels()
{
    struct
    {
        const wchar_t* name;
        EqzLabelType type;
        int width;
    } const labels[] = {{L"ADDR", eqzLabelDigital, 16}, {L"STAT", eqzLabelDigital, 8},
                        {L"WR", eqzLabelDigital, 1},     {L"COUNT", eqzLabelIntegral, 64},
                        {L"MSG", eqzLabelString, 0},     {L"top.D[7:0]", eqzLabelDigital, 128}};
    std::vector<const CqzLabel*> out;
    for (const auto& label : labels)
        out.push_back(CqzLabelMgr::Instance().AddLabel(
            CqzLabel(CqzID(), label.name, CqzBitSet{label.type}, label.width, CqzID())));
    return out;
}

void CheckRoundTrip(const CqzSearchModel& search)
{
    if (!search.GetIfClause().GetEventList()->IsWellFormed())
        std::abort();
    CqzFilterDocument document;
    document.AddTerm({L"t", search, eqzHostHide, 0});
    CqzXMLParser xml(document.GetText());
    CqzSearchModel back;
    if (!xml.FindNext(L"Filter") || !xml.FindNextChild(L"FilterExpression") || !xml.Descend() ||
        !back.DoCommands(xml))
        std::abort();
    CqzFilterDocument again;
    again.AddTerm({L"t", back, eqzHostHide, 0});
    if (!(again.GetText() == document.GetText()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CqzTermParser parser(RegisterLabels());
    const std::string text(reinterpret_cast<const char*>(data), size);
    try
    {
        CheckRoundTrip(parser.Parse(text));
    }
    catch (const CqzTermError& error)
    {
        if (error.GetColumn() < 1 || static_cast<std::size_t>(error.GetColumn()) > size + 1)
            std::abort();
    }
    return 0;
}
