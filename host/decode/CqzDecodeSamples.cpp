#include "CqzDecodeSamples.h"

#include "CqzDecodeError.h"
#include "qzSystem/data/CqzSampleStore.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <cstring>
#include <numeric>

namespace
{
std::string LabelName(const CqzDataColumn& column)
{
    const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(column.GetLabelID());
    return label ? label->GetName().ToUtf8() : std::string();
}

// The one-bit labels of a table, for messages.
std::string OneBitLabels(const CqzDataTable& table)
{
    std::string names;
    for (int c = 0; c < table.GetColumnCount(); ++c)
        if (const CqzLabel* label =
                CqzLabelMgr::Instance().IDToLabel(table.GetColumnAt(c)->GetLabelID()))
            if (label->IsType(eqzLabelDigital))
                names +=
                    (names.empty() ? "" : ", ") + label->GetName().ToUtf8() +
                    (label->GetWidth() > 1 ? "[0.." + std::to_string(label->GetWidth() - 1) + "]"
                                           : "");
    return names.empty() ? "none" : names;
}

// The column and bit of a channel: "D2" (a one-bit label) or "D[2]" (bit 2 of bus D).
std::pair<int, int> Resolve(const CqzDataTable& table, const std::string& name)
{
    std::string label = name;
    int bit = -1;
    const std::size_t open = name.rfind('[');
    if (open != std::string::npos && open > 0 && name.back() == ']')
    {
        const std::string index = name.substr(open + 1, name.size() - open - 2);
        if (!index.empty() && index.size() < 4 &&
            index.find_first_not_of("0123456789") == std::string::npos)
        {
            label = name.substr(0, open);
            bit = std::stoi(index);
        }
    }
    for (int c = 0; c < table.GetColumnCount(); ++c)
    {
        const CqzDataColumn& column = *table.GetColumnAt(c);
        const CqzLabel* found = CqzLabelMgr::Instance().IDToLabel(column.GetLabelID());
        if (found == nullptr || !found->IsType(eqzLabelDigital))
            continue;
        if (LabelName(column) == name && found->GetWidth() == 1)
            return {c, 0};
        if (bit >= 0 && LabelName(column) == label && bit < found->GetWidth())
            return {c, bit};
    }
    throw CqzDecodeError("the capture has no one-bit label '" + name +
                         "' (its digital labels: " + OneBitLabels(table) + ")");
}
} // namespace

CqzDecodeSamples::CqzDecodeSamples(const CqzDataTable& table,
                                   const std::vector<std::string>& channels,
                                   const CqzSampleClock& clock)
{
    if (channels.size() > static_cast<std::size_t>(kMaxChannels))
        throw CqzDecodeError("at most " + std::to_string(kMaxChannels) +
                             " channels can be decoded at once");
    std::vector<std::pair<int, int>> bits;
    for (const std::string& name : channels)
        bits.push_back(Resolve(table, name));
    m_unitSize = channels.size() <= 8 ? 1 : channels.size() <= 16 ? 2 : 4;
    m_samples = CountSamples(table, clock);
    ReadChanges(table, bits, clock);
}

void CqzDecodeSamples::ReadChanges(const CqzDataTable& table,
                                   const std::vector<std::pair<int, int>>& bits,
                                   const CqzSampleClock& clock)
{
    const std::shared_ptr<CqzSampleStore> times = table.GetTimeStore();
    std::vector<const CqzSampleStore*> stores;
    for (const auto& [column, bit] : bits)
        stores.push_back(table.GetColumnAt(column)->GetSampleStore());
    const std::int64_t lines = table.GetLineCount();
    for (std::int64_t line = 0; line < lines; ++line)
    {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bits.size(); ++i)
            if (stores[i]->GetStatus(line) == 0)
                value |= static_cast<std::uint32_t>(
                             (stores[i]->GetEntries().GetLow(line) >> bits[i].second) & 1)
                         << i;
        const std::uint64_t sample = clock.SampleAt(times->GetTime(line));
        if (!m_changes.empty() && m_changes.back().sample == sample)
            m_changes.back().value = value;
        else if (m_changes.empty() || m_changes.back().value != value)
            m_changes.push_back({sample, value});
    }
}

CqzSampleClock CqzDecodeSamples::ChooseClock(const CqzDataTable& table, std::uint64_t rate,
                                             std::uint64_t captureRate)
{
    const std::shared_ptr<CqzSampleStore> times = table.GetTimeStore();
    if (!times || times->GetCount() == 0)
        throw CqzDecodeError("the capture has no times to decode by");
    const std::int64_t first = times->GetTime(0);
    if (rate != 0 || captureRate != 0)
        return CqzSampleClock::FromRate(first, rate != 0 ? rate : captureRate);
    std::uint64_t step = 0;
    for (std::int64_t line = 1; line < times->GetCount() && step != 1; ++line)
        step = std::gcd(step, static_cast<std::uint64_t>(times->GetTime(line) - first));
    if (step == 0)
        throw CqzDecodeError("the capture's times have no step to take as the samplerate; give "
                             "one with --decode-rate HZ");
    return CqzSampleClock::FromStep(first, step);
}

std::uint64_t CqzDecodeSamples::CountSamples(const CqzDataTable& table, const CqzSampleClock& clock)
{
    const std::shared_ptr<CqzSampleStore> times = table.GetTimeStore();
    return clock.SampleAt(times->GetTime(times->GetCount() - 1)) + 1;
}

void CqzDecodeSamples::Fill(std::uint64_t first, std::uint64_t count,
                            std::vector<std::uint8_t>& out)
{
    const auto unit = static_cast<std::size_t>(m_unitSize);
    out.resize(static_cast<std::size_t>(count) * unit);
    std::uint64_t sample = first;
    const std::uint64_t end = first + count;
    while (sample < end)
    {
        while (m_next < m_changes.size() && m_changes[m_next].sample <= sample)
            m_value = m_changes[m_next++].value;
        const std::uint64_t until =
            m_next < m_changes.size() ? std::min(end, m_changes[m_next].sample) : end;
        std::uint8_t* p = out.data() + (sample - first) * unit;
        if (unit == 1)
            std::memset(p, static_cast<int>(m_value), static_cast<std::size_t>(until - sample));
        else
            for (std::uint64_t s = sample; s < until; ++s, p += unit)
                std::memcpy(p, &m_value, unit); // little-endian: channel i at bit i
        sample = until;
    }
}
