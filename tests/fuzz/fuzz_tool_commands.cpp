// Hands arbitrary markup to a new filter tool's command interface as a host would (DoCommands),
// then asks it for its setup both ways (QueryCommand and ExecuteQuery). Whatever the markup,
// the tool must refuse or accept it without a fault, and a setup it accepted must come back
// as markup that a second tool accepts.
#include "markup/CqzXMLParser.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "tool/CqzFilter.h"

#include <cstdint>
#include <string>

namespace
{

void AddLabel(const wchar_t* name, EqzLabelType type, int width)
{
    CqzLabelMgr::Instance().AddLabel(CqzLabel(CqzID(), name, CqzBitSet{type}, width, CqzID()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool labels = []
    {
        AddLabel(L"A", eqzLabelDigital, 8);
        AddLabel(L"W", eqzLabelIntegral, 128);
        AddLabel(L"M", eqzLabelString, 0);
        return true;
    }();
    (void)labels;
    GUID addInClass{};
    CqzFilter tool(CqzID(), CqzID(), CqzID(), addInClass);
    CqzXMLParser xml(CString(std::string(reinterpret_cast<const char*>(data), size)));
    const bool accepted = tool.DoCommands(xml);

    CqzXMLParser query;
    tool.QueryCommand(L"GetAllSetup", query);
    CString setup;
    if (!tool.ExecuteQuery(L"GetSetup", setup))
        __builtin_trap();
    if (!accepted)
        return 0;
    CqzFilter second(CqzID(), CqzID(), CqzID(), addInClass);
    CqzXMLParser again(setup);
    if (!second.DoCommands(again))
        __builtin_trap();
    return 0;
}
