// Reads arbitrary markup into a filter model as a setup command, then writes the model back.
// Whatever was accepted must read back and be written again unchanged.
#include "model/CqzFilterModel.h"

#include "markup/CqzXMLParser.h"
#include "FuzzLabels.h"

#include <cstdint>
#include <string>

namespace
{

CString Query(const CqzFilterModel& model)
{
    CqzXMLParser xml;
    model.QueryCommand(L"GetSetup", xml);
    return xml.GetDocument();
}

bool Apply(CqzFilterModel& model, const CString& text)
{
    CqzXMLParser xml(text);
    xml.FindNext(L"Filter");
    return model.DoCommands(xml);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RegisterFuzzLabels();
    const CqzID instance;
    CqzFilterModel model(instance);
    model.InsertAfter(nullptr, nullptr, -1);
    const bool accepted =
        Apply(model, CString(std::string(reinterpret_cast<const char*>(data), size)));
    const CString written = Query(model);
    if (!accepted)
        return 0;
    CqzFilterModel again(instance);
    if (!Apply(again, written) || Query(again) != written)
        __builtin_trap();
    return 0;
}
