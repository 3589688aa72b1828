// Hands arbitrary markup to a new filter tool's command interface as a host would (DoCommands),
// then asks it for its setup both ways (QueryCommand and ExecuteQuery). Whatever the markup,
// the tool must refuse or accept it without a fault, and a setup it accepted must come back
// as markup that a second tool accepts.
#include "markup/CqzXMLParser.h"
#include "FuzzLabels.h"
#include "tool/CqzFilter.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RegisterFuzzLabels();
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
