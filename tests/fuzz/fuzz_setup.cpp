// Reads arbitrary bytes as a saved tool setup: the setup store's decoder, the host's check of
// binary setups, the filter model's load, and the tool's load message with its favourites. A
// setup the check passes must load whole: as many terms as it says it holds. The first byte chooses
// whether the header's body length and the trailing checksum are made to fit, so that mutations get
// past the checksum and reach the loaders; otherwise the bytes go to the decoder as they are.
#include "CqzHostError.h"
#include "CqzSetupCheck.h"
#include "FuzzSetupBytes.h"
#include "model/CqzFilterModel.h"
#include "qzSystem/managers/CqzInfoMgr.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/messages/CqzMessagePersistence.h"
#include "qzSystem/persist/CqzFavorites.h"
#include "qzSystem/persist/CqzPersistenceCodec.h"
#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "tool/CqzFilter.h"

#include <cstdint>
#include <vector>

namespace
{

// Labels with fixed identifiers ({00000000-0000-0000-0000-0000000000NN}), so that seeds can
// name them and setups the host's check passes are reached.
void AddLabel(const wchar_t* name, EqzLabelType type, int width, int number)
{
    CqzID id;
    CString text;
    text.Format(L"{00000000-0000-0000-0000-%012d}", number);
    id.SetValue(text);
    CqzLabelMgr::Instance().AddLabel(CqzLabel(id, name, CqzBitSet{type}, width, CqzID()));
}

void LoadModel(std::vector<std::uint8_t>& bytes)
{
    CqzPersistenceSetup setup(bytes, eqzPersistRead);
    CqzFilterModel model{CqzID()};
    model.Load(&setup);
}

// Whether the host's check passes the setup; then its stored term count.
bool Check(std::vector<std::uint8_t>& bytes, std::uint32_t& terms)
{
    CqzPersistenceSetup setup(bytes, eqzPersistRead);
    try
    {
        CqzSetupCheck(CqzLabelMgr::Instance().GetLabels(), "fuzz").CheckSetup(setup);
    }
    catch (const CqzHostError&)
    {
        return false;
    }
    if (setup.GetOpenTagCount() != 0)
        __builtin_trap();
    terms = 0;
    if (setup.OpenTag(L"Filter", false))
    {
        if (setup.OpenTag(L"FilterModel", false))
        {
            setup.Read(L"NumberOfFilterTerms", terms);
            setup.CloseTag(false);
        }
        setup.CloseTag(false);
    }
    return true;
}

// The terms the tool holds after loading the setup.
int ToolTerms(std::vector<std::uint8_t>& bytes)
{
    CqzPersistenceSetup setup(bytes, eqzPersistRead);
    CqzFilter tool(CqzID(), CqzID(), CqzID(), GUID{});
    CqzMessageLoad load(&setup);
    tool.HandleMessage(&load);
    CqzXMLParser xml;
    CString reply;
    tool.ExecuteQuery(L"GetSetup", reply);
    int count = 0;
    if (xml.SetDocument(reply) && xml.FindNext(L"/Filter"))
        while (xml.FindNextChild(L"FilterExpression"))
            ++count;
    return count;
}

void LoadTool(std::vector<std::uint8_t>& bytes)
{
    CqzPersistenceSetup setup(bytes, eqzPersistRead);
    CqzFilter tool(CqzID(), CqzID(), CqzID(), GUID{});
    CqzMessageLoad load(&setup);
    tool.HandleMessage(&load);
    for (int slot = 0; slot < tool.GetFavorites().GetCount(); ++slot)
    {
        try
        {
            tool.GetFavoriteName(slot);
            CqzFilterModel recalled{CqzID()};
            tool.RecallFavorite(slot, recalled);
        }
        catch (const CqzPersistenceException&)
        {
            // A favourite that is not a readable setup is refused the same way.
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool labels = []
    {
        AddLabel(L"A", eqzLabelDigital, 8, 1);
        AddLabel(L"W", eqzLabelIntegral, 128, 2);
        AddLabel(L"M", eqzLabelString, 0, 3);
        return true;
    }();
    (void)labels;
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    if (data[0] & 1)
        Fit(bytes);
    CqzInfoMgr::Instance().Reset();
    try
    {
        LoadModel(bytes);
        LoadTool(bytes);
        std::uint32_t terms = 0;
        if (Check(bytes, terms) && terms > 0 && ToolTerms(bytes) != static_cast<int>(terms))
            __builtin_trap();
    }
    catch (const CqzPersistenceException&)
    {
        // Corrupt, truncated or oversized setups are refused with this exception.
    }
    return 0;
}
