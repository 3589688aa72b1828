#include "CqzBenchRawLoop.h"

#include "CqzBenchBaseline.h"
#include "CqzBenchStopwatch.h"
#include "CqzBenchWorkload.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace
{
constexpr std::uint64_t Hidden = std::uint64_t{1} << 11;
constexpr std::uint64_t Colored = std::uint64_t{1} << 13;

constexpr std::uint64_t ColorRecord(std::uint32_t color)
{
    return Colored | (std::uint64_t{color & 0xffffffu} << 32);
}

template <typename T> std::vector<T> CopyOut(const CqzValueStore& store)
{
    if (store.GetByteWidth() != sizeof(T))
        throw std::logic_error("a workload column has an unexpected width");
    std::vector<T> values(static_cast<std::size_t>(store.GetCount()));
    std::memcpy(values.data(), store.GetBytes(), values.size() * sizeof(T));
    return values;
}

template <typename T> void WriteArray(const std::string& path, const std::vector<T>& values)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(values.data()),
              static_cast<std::streamsize>(values.size() * sizeof(T)));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}
} // namespace

CqzBenchRawLoop::CqzBenchRawLoop(const CqzBenchWorkload& workload)
    : m_addr(CopyOut<std::uint32_t>(workload.GetStore(CqzBenchWorkload::eAddr).GetEntries())),
      m_data(CopyOut<std::uint16_t>(workload.GetStore(CqzBenchWorkload::eData).GetEntries())),
      m_stat(CopyOut<std::uint8_t>(workload.GetStore(CqzBenchWorkload::eStat).GetEntries()))
{
    if (!workload.HasText())
        return;
    const CqzSampleStore& msg = workload.GetStore(CqzBenchWorkload::eMsg);
    m_msg = CopyOut<std::uint32_t>(msg.GetEntries());
    for (std::size_t id = 0; id < msg.GetStrings().GetTextCount(); ++id)
        m_texts.emplace_back(msg.GetStrings().Get(static_cast<std::uint32_t>(id)));
    for (const std::wstring& text : m_texts)
        m_textAnswers.push_back(CqzBenchBaseline::ContainsNoCase(text.c_str(), L"err") ? 1 : 0);
}

CqzBenchRawLoop::SqzArrays CqzBenchRawLoop::GetArrays() const
{
    return {m_addr.size(), m_addr.data(), m_data.data(), m_stat.data(),
            m_msg.empty() ? nullptr : m_msg.data(),
            m_msg.empty() ? nullptr : m_textAnswers.data()};
}

void CqzBenchRawLoop::Loop(std::uint64_t* records) const
{
    const std::size_t rows = m_addr.size();
    const std::uint32_t* addr = m_addr.data();
    const std::uint16_t* data = m_data.data();
    const std::uint8_t* stat = m_stat.data();
    if (m_msg.empty())
    {
        for (std::size_t i = 0; i < rows; ++i)
        {
            const std::uint32_t a = addr[i];
            records[i] = a - 0x1000u <= 0xfffu && (stat[i] & 0xf0) == 0x30 ? Hidden
                         : data[i] == 0xdead ? ColorRecord(CqzBenchWorkload::DataColor)
                         : a >= 0x8000u      ? Hidden
                                             : 0;
        }
        return;
    }
    const std::uint32_t* msg = m_msg.data();
    const std::uint32_t* err = m_textAnswers.data();
    for (std::size_t i = 0; i < rows; ++i)
    {
        const std::uint32_t a = addr[i];
        records[i] = a - 0x1000u <= 0xfffu && (stat[i] & 0xf0) == 0x30 ? Hidden
                     : err[msg[i]] != 0  ? ColorRecord(CqzBenchWorkload::MsgColor)
                     : data[i] == 0xdead ? ColorRecord(CqzBenchWorkload::DataColor)
                     : a >= 0x8000u      ? Hidden
                                         : 0;
    }
}

double CqzBenchRawLoop::RunAllocating()
{
    m_records.reset();
    const CqzBenchStopwatch clock;
    m_records = std::make_unique_for_overwrite<std::uint64_t[]>(m_addr.size());
    Loop(m_records.get());
    return clock.WallSeconds();
}

double CqzBenchRawLoop::RunTouched()
{
    if (!m_records)
        RunAllocating();
    const CqzBenchStopwatch clock;
    Loop(m_records.get());
    return clock.WallSeconds();
}

std::uint64_t CqzBenchRawLoop::Checksum() const
{
    std::uint64_t sum = 0;
    for (std::size_t i = 0; m_records && i < m_addr.size(); ++i)
        sum += m_records[i];
    return sum;
}

void CqzBenchRawLoop::WriteArrays(const std::string& folder) const
{
    WriteArray(folder + "/addr.u32", m_addr);
    WriteArray(folder + "/data.u16", m_data);
    WriteArray(folder + "/stat.u8", m_stat);
    if (m_msg.empty())
        return;
    WriteArray(folder + "/msg.u32", m_msg);
    std::ofstream texts(folder + "/texts.txt", std::ios::binary);
    for (const std::wstring& text : m_texts)
    {
        for (const wchar_t c : text) // the workload's texts are ASCII
            texts.put(static_cast<char>(c));
        texts.put('\n');
    }
    if (!texts)
        throw std::runtime_error("cannot write " + folder + "/texts.txt");
}
