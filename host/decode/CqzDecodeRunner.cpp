#include "CqzDecodeRunner.h"

#include "CqzDecodeError.h"
#include "CqzDecodeSamples.h"
#include "CqzDecodeStack.h"
#include "CqzDecodedTable.h"

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
    {
        const std::vector<std::string> ids = stacks[s]->GetDecoderIDs();
        for (std::size_t d = 0; d < ids.size(); ++d)
        {
            names.push_back(UniqueName(ids[d], names));
            CqzDecodedTable::Add(data, names.back(), results[s][d], clock);
        }
    }
    return names;
}
