#include "CqzDecodeRunner.h"

#include "CqzDecodeError.h"
#include "CqzDecodeSamples.h"
#include "CqzDecodeStack.h"
#include "CqzDecodedTable.h"
#include "qzSystem/managers/CqzMemoryBudget.h"

#include <algorithm>
#include <memory>

namespace
{
// NAME, or NAME_2, NAME_3, ... when a table already has the name.
std::string UniqueName(const std::string& id, const std::vector<std::string>& taken)
{
    std::string name = id;
    for (int n = 2; std::find(taken.begin(), taken.end(), name) != taken.end(); ++n)
        name = id + "_" + std::to_string(n);
    return name;
}
// Holds every table in the budget before any is made; a refusal gives back those held.
void HoldTables(CqzMemoryBudget* budget, const std::vector<std::string>& names,
                const std::vector<std::vector<SqzDecodedAnnotations>>& results)
{
    if (budget == nullptr)
        return;
    std::size_t table = 0;
    try
    {
        for (const auto& stack : results)
            for (const SqzDecodedAnnotations& decoded : stack)
            {
                budget->Hold("the decoded table '" + names[table] + "'",
                             CqzDecodedTable::MemoryOf(decoded),
                             "for " + std::to_string(decoded.annotations.size()) + " rows");
                ++table;
            }
    }
    catch (...)
    {
        for (std::size_t t = 0; t < table; ++t)
            budget->Hold("the decoded table '" + names[t] + "'", 0);
        throw;
    }
}
} // namespace

std::vector<std::string> CqzDecodeRunner::Run(CqzData& data, const SqzDecodeRequest& request)
{
    const CqzDataTable& capture = *data.GetTable(0);
    std::vector<std::unique_ptr<CqzDecodeStack>> stacks;
    for (const std::string& argument : request.stacks)
        stacks.push_back(std::make_unique<CqzDecodeStack>(argument, capture));
    const CqzSampleClock clock =
        CqzDecodeSamples::ChooseClock(capture, request.rate, request.captureRate);
    const std::uint64_t samples = CqzDecodeSamples::CountSamples(capture, clock);
    if (samples > request.maxSamples)
        throw CqzDecodeError("decoding at " + std::to_string(clock.GetRate()) + " Hz would feed " +
                             std::to_string(samples) + " samples, more than the bound of " +
                             std::to_string(request.maxSamples) +
                             " samples a decode may feed; give a lower --decode-rate");
    std::vector<std::vector<SqzDecodedAnnotations>> results;
    for (std::size_t s = 0; s < stacks.size(); ++s)
    {
        SqzDecodeRequest part = request;
        if (request.progress)
            part.progress = [&, s](std::uint64_t done, std::uint64_t)
            { return request.progress(s * samples + done, stacks.size() * samples); };
        results.push_back(stacks[s]->Run(clock, part));
    }
    std::vector<std::string> names;
    for (std::size_t s = 0; s < stacks.size(); ++s)
        for (const std::string& id : stacks[s]->GetDecoderIDs())
            names.push_back(UniqueName(id, names));
    HoldTables(request.budget, names, results);
    std::size_t table = 0;
    for (const auto& stack : results)
        for (const SqzDecodedAnnotations& decoded : stack)
            CqzDecodedTable::Add(data, names[table++], decoded, clock);
    return names;
}
