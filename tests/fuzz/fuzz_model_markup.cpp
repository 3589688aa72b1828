// Reads arbitrary markup into a filter model as a setup command, then writes the model back.
// Whatever was accepted must read back and be written again unchanged, and the host's check
// of markup setups (CqzSetupCheck) must pass it: the check never refuses what the model reads.
#include "model/CqzFilterModel.h"

#include "CqzHostError.h"
#include "CqzSetupCheck.h"
#include "markup/CqzXMLParser.h"
#include "qzSystem/managers/CqzLabelMgr.h"
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
    const CString text(std::string(reinterpret_cast<const char*>(data), size));
    const bool accepted = Apply(model, text);
    const CString written = Query(model);
    CqzXMLParser xml(text);
    bool checked = true;
    try
    {
        CqzSetupCheck(CqzLabelMgr::Instance().GetLabels(), "fuzz").CheckMarkup(xml);
    }
    catch (const CqzHostError&)
    {
        checked = false;
    }
    if (!accepted)
        return 0;
    if (!checked)
        __builtin_trap();
    CqzFilterModel again(instance);
    if (!Apply(again, written) || Query(again) != written)
        __builtin_trap();
    return 0;
}
