#include "CqzBenchImport.h"

#include "CqzBenchMemoryProbe.h"
#include "CqzBenchStopwatch.h"
#include "CqzSampleGenerator.h"

#include "capture/CqzCaptureLoader.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace
{
constexpr std::size_t FlushBytes = 1 << 22;
constexpr std::size_t SrChunkBytes = 4 << 20;

std::uint64_t Next(std::uint64_t& state)
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

void AppendDigits(std::string& out, std::uint64_t value, int bits)
{
    for (int bit = bits - 1; bit >= 0; --bit)
        out += ((value >> bit) & 1) != 0 ? '1' : '0';
}

void AppendBinary(std::string& out, std::uint64_t value, int bits, char code)
{
    out += 'b';
    AppendDigits(out, value, bits);
    out += ' ';
    out += code;
    out += '\n';
}

const char* VcdHeader = "$timescale 1ns $end\n"
                        "$scope module top $end\n"
                        "$var wire 1 ! clk $end\n"
                        "$var wire 32 \" addr [31:0] $end\n"
                        "$var wire 16 # data [15:0] $end\n"
                        "$var wire 8 $ stat [7:0] $end\n"
                        "$upscope $end\n"
                        "$enddefinitions $end\n";

std::string SrMetadata()
{
    std::string text = "[global]\nsigrok version=0.3.0\n\n[device 1]\ncapturefile=logic-1\n"
                       "total probes=16\nsamplerate=100 MHz\nunitsize=2\n";
    for (int probe = 1; probe <= 8; ++probe)
        text += "probe" + std::to_string(probe) + "=B[" + std::to_string(probe - 1) + "]\n";
    for (int probe = 9; probe <= 16; ++probe)
        text += "probe" + std::to_string(probe) + "=C" + std::to_string(probe - 9) + "\n";
    return text;
}

void AddEntry(zip_t* zip, const std::string& name, const std::string& bytes)
{
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    if (source == nullptr)
        throw std::runtime_error("cannot make a zip entry");
    const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (index < 0)
    {
        zip_source_free(source);
        throw std::runtime_error("cannot add " + name + " to the session archive");
    }
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
}

// Writes the header, then rows made by `append` (from the row number and a random word) until
// the file holds targetBytes; returns the number of rows.
template <typename F>
std::int64_t WriteRows(const std::string& path, std::int64_t targetBytes, const char* header,
                       std::uint64_t state, F&& append)
{
    std::ofstream file(path, std::ios::binary);
    std::string buffer = header;
    std::int64_t written = 0;
    std::int64_t rows = 0;
    while (written + static_cast<std::int64_t>(buffer.size()) < targetBytes)
    {
        append(buffer, rows, Next(state));
        ++rows;
        if (buffer.size() >= FlushBytes)
        {
            file.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            written += static_cast<std::int64_t>(buffer.size());
            buffer.clear();
        }
    }
    file.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (!file.flush())
        throw std::runtime_error("cannot write " + path);
    return rows;
}

} // namespace

void CqzBenchImport::ForgetLabels(const CqzData& data)
{
    for (int t = 0; t < data.GetTableCount(); ++t)
        for (int c = 0; c < data.GetTable(t)->GetColumnCount(); ++c)
            CqzLabelMgr::Instance().RemoveLabel(data.GetTable(t)->GetColumnAt(c)->GetLabelID());
}

double CqzBenchImport::TimedLoad(const std::string& path, bool first, double& fastest,
                                 double& fastestCpu, std::unique_ptr<CqzData>& data)
{
    CqzBenchStopwatch clock;
    data = CqzCaptureLoader::Load(path);
    const double seconds = clock.WallSeconds();
    if (first || seconds < fastest)
    {
        fastest = seconds;
        fastestCpu = clock.CpuSeconds();
    }
    return seconds;
}

struct CqzBenchImport::SqzImp
{
    std::int64_t targetBytes = 0;
    std::int64_t busRows = 0;
    std::filesystem::path folder;
};

CqzBenchImport::CqzBenchImport(std::int64_t targetBytes, std::int64_t busRows)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->targetBytes = targetBytes;
    m_imp->busRows = busRows;
    std::string pattern = (std::filesystem::temp_directory_path() / "qzbench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder from " + pattern);
    m_imp->folder = pattern;
}

CqzBenchImport::~CqzBenchImport()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_imp->folder, ignored);
}

CqzBenchImport::SqzResult CqzBenchImport::RunVcd() const
{
    return Load((m_imp->folder / "bench.vcd").string(), &WriteVcd);
}

CqzBenchImport::SqzResult CqzBenchImport::RunCsv() const
{
    return Load((m_imp->folder / "bench.csv").string(), &WriteCsv);
}

CqzBenchImport::SqzResult CqzBenchImport::RunSr() const
{
    return Load((m_imp->folder / "bench.sr").string(), &WriteSr);
}

CqzBenchImport::SqzResult CqzBenchImport::RunSrSparse() const
{
    return Load((m_imp->folder / "sparse.sr").string(), &WriteSrSparse);
}

CqzBenchImport::SqzResult CqzBenchImport::RunVcdNarrow() const
{
    return Load((m_imp->folder / "narrow.vcd").string(), &WriteVcdNarrow);
}

CqzBenchImport::SqzResult CqzBenchImport::RunVcdWide() const
{
    return Load((m_imp->folder / "wide.vcd").string(), &WriteVcdWide);
}

CqzBenchImport::SqzResult CqzBenchImport::RunVcdBus() const
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("qzbench-cpu-bus-" + std::to_string(m_imp->busRows) + ".vcd");
    SqzResult result;
    result.expectedRows = m_imp->busRows;
    if (!std::filesystem::exists(path))
    {
        CqzBenchStopwatch clock;
        const std::filesystem::path part = path.string() + ".part";
        {
            std::ofstream file(part, std::ios::binary);
            CqzSampleGenerator(m_imp->busRows).Write(file);
            if (!file.flush())
                throw std::runtime_error("cannot write " + part.string());
        }
        std::filesystem::rename(part, path);
        result.writeSeconds = clock.WallSeconds();
    }
    return Measure(path.string(), result, true);
}

CqzBenchImport::SqzResult CqzBenchImport::Load(const std::string& path,
                                               std::int64_t (*write)(const std::string&,
                                                                     std::int64_t)) const
{
    SqzResult result;
    CqzBenchStopwatch clock;
    result.expectedRows = write(path, m_imp->targetBytes);
    result.writeSeconds = clock.WallSeconds();
    return Measure(path, result, false);
}

CqzBenchImport::SqzResult CqzBenchImport::Measure(const std::string& path, SqzResult result,
                                                  bool keep)
{
    result.fileBytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    for (int load = 0; load < Loads; ++load)
    {
        const std::int64_t before = CqzBenchMemoryProbe::GetResidentBytesTrimmed();
        const bool peakKnown = CqzBenchMemoryProbe::ResetPeakResidentBytes();
        std::unique_ptr<CqzData> data;
        const double seconds =
            TimedLoad(path, load == 0, result.loadSeconds, result.loadCpuSeconds, data);
        result.slowestLoadSeconds = std::max(result.slowestLoadSeconds, seconds);
        const std::int64_t peak = CqzBenchMemoryProbe::GetPeakResidentBytes();
        const std::int64_t after = CqzBenchMemoryProbe::GetResidentBytesTrimmed();
        if (peakKnown && peak >= 0 && before >= 0)
            result.peakBytes = std::max(result.peakBytes, peak - before);
        if (after >= 0 && before >= 0)
            result.tableBytes = after - before;
        result.rows = data->GetTableCount() > 0 ? data->GetTable(0)->GetRowCount() : 0;
        ForgetLabels(*data);
    }
    if (!keep)
        std::filesystem::remove(path);
    return result;
}

// One timestamp a nanosecond apart, each changing the clock and three buses.
std::int64_t CqzBenchImport::WriteVcd(const std::string& path, std::int64_t targetBytes)
{
    return WriteRows(path, targetBytes, VcdHeader, 0x2545f4914f6cdd1dull,
                     [](std::string& buffer, std::int64_t row, std::uint64_t r)
                     {
                         buffer += '#' + std::to_string(row) + '\n';
                         buffer += (row & 1) != 0 ? "0!\n" : "1!\n";
                         AppendBinary(buffer, r & 0xffffffffu, 32, '"');
                         AppendBinary(buffer, (r >> 32) & 0xffff, 16, '#');
                         AppendBinary(buffer, (r >> 48) & 0xff, 8, '$');
                     });
}

// Timestamps 1 to 8 ns apart, each toggling one to three of 64 one-bit wires.
std::int64_t CqzBenchImport::WriteVcdNarrow(const std::string& path, std::int64_t targetBytes)
{
    std::string header = "$timescale 1ns $end\n$scope module top $end\n";
    for (int wire = 0; wire < 64; ++wire)
        header += "$var wire 1 " + std::string(1, static_cast<char>('!' + wire)) + " w" +
                  std::to_string(wire) + " $end\n";
    header += "$upscope $end\n$enddefinitions $end\n";
    std::uint64_t levels = 0;
    std::int64_t time = 0;
    return WriteRows(path, targetBytes, header.c_str(), 0x3c6ef372fe94f82bull,
                     [&](std::string& buffer, std::int64_t, std::uint64_t r)
                     {
                         time += 1 + static_cast<std::int64_t>(r & 7);
                         buffer += '#' + std::to_string(time) + '\n';
                         for (std::uint64_t n = 1 + (r >> 3) % 3, bits = r >> 8; n > 0;
                              --n, bits >>= 6)
                         {
                             const unsigned wire = bits & 63;
                             levels ^= std::uint64_t{1} << wire;
                             buffer += (levels >> wire & 1) != 0 ? '1' : '0';
                             buffer += static_cast<char>('!' + wire);
                             buffer += '\n';
                         }
                     });
}

// Timestamps a nanosecond apart, each giving one to three of 16 buses (32 to 128 bits, every
// digit written) a new value.
std::int64_t CqzBenchImport::WriteVcdWide(const std::string& path, std::int64_t targetBytes)
{
    std::string header = "$timescale 1ns $end\n$scope module top $end\n";
    const auto width = [](unsigned bus) { return 32 + static_cast<int>(bus) * 96 / 15; };
    for (unsigned bus = 0; bus < 16; ++bus)
        header += "$var wire " + std::to_string(width(bus)) + " " +
                  std::string(1, static_cast<char>('A' + bus)) + " bus" + std::to_string(bus) +
                  " $end\n";
    header += "$upscope $end\n$enddefinitions $end\n";
    std::uint64_t state = 0x510e527fade682d1ull;
    return WriteRows(path, targetBytes, header.c_str(), 0xbb67ae8584caa73bull,
                     [&](std::string& buffer, std::int64_t row, std::uint64_t r)
                     {
                         buffer += '#' + std::to_string(row) + '\n';
                         for (std::uint64_t n = 1 + r % 3, buses = r >> 2; n > 0; --n, buses >>= 4)
                         {
                             const unsigned bus = buses & 15;
                             const int bits = width(bus);
                             buffer += 'b';
                             if (bits > 64)
                                 AppendDigits(buffer, Next(state) >> (128 - bits), bits - 64);
                             AppendDigits(buffer, Next(state) >> (64 - std::min(bits, 64)),
                                          std::min(bits, 64));
                             buffer += ' ';
                             buffer += static_cast<char>('A' + bus);
                             buffer += '\n';
                         }
                     });
}

// One line a nanosecond apart: the clock and three hexadecimal buses.
std::int64_t CqzBenchImport::WriteCsv(const std::string& path, std::int64_t targetBytes)
{
    return WriteRows(path, targetBytes, "Time (ns),clk,addr,data,stat\n", 0x6a09e667f3bcc908ull,
                     [](std::string& buffer, std::int64_t row, std::uint64_t r)
                     {
                         char line[64];
                         const int n =
                             std::snprintf(line, sizeof line, "%lld,%d,0x%08x,0x%04x,0x%02x\n",
                                           static_cast<long long>(row), static_cast<int>(row & 1),
                                           static_cast<unsigned>(r & 0xffffffffu),
                                           static_cast<unsigned>((r >> 32) & 0xffff),
                                           static_cast<unsigned>((r >> 48) & 0xff));
                         buffer.append(line, static_cast<std::size_t>(n));
                     });
}

// Chunks of 2-byte samples whose low byte counts up, so every sample is a change; one row per
// sample.
std::int64_t CqzBenchImport::WriteSr(const std::string& path, std::int64_t targetBytes)
{
    return WriteSrChanging(path, targetBytes, 1);
}

std::int64_t CqzBenchImport::WriteSrSparse(const std::string& path, std::int64_t targetBytes)
{
    return WriteSrChanging(path, targetBytes, SparseSamplesPerChange);
}

std::int64_t CqzBenchImport::WriteSrChanging(const std::string& path, std::int64_t targetBytes,
                                             std::uint64_t samplesPerChange)
{
    const std::size_t chunkBytes = static_cast<std::size_t>(
        std::clamp<std::int64_t>((targetBytes + 1) / 2 * 2, 2, SrChunkBytes));
    const std::size_t chunks =
        (static_cast<std::size_t>(targetBytes) + chunkBytes - 1) / chunkBytes;
    std::vector<std::string> bytes(chunks, std::string(chunkBytes, '\0'));
    std::uint64_t state = 0x9e3779b97f4a7c15ull;
    std::uint64_t sample = 0;
    std::uint64_t high = 0;
    for (std::string& chunk : bytes)
        for (std::size_t at = 0; at < chunk.size(); at += 2, ++sample)
        {
            if (sample % samplesPerChange == 0)
                high = Next(state) & 0xff;
            chunk[at] = static_cast<char>(sample / samplesPerChange & 0xff);
            chunk[at + 1] = static_cast<char>(high);
        }
    // zip_source_buffer does not copy: every entry's bytes live until zip_close.
    const std::string version = "2";
    const std::string metadata = SrMetadata();
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (zip == nullptr)
        throw std::runtime_error("cannot create " + path);
    try
    {
        AddEntry(zip, "version", version);
        AddEntry(zip, "metadata", metadata);
        for (std::size_t i = 0; i < chunks; ++i)
            AddEntry(zip, "logic-1-" + std::to_string(i + 1), bytes[i]);
    }
    catch (...)
    {
        zip_discard(zip);
        throw;
    }
    if (zip_close(zip) != 0)
    {
        zip_discard(zip);
        throw std::runtime_error("cannot write " + path);
    }
    return static_cast<std::int64_t>((sample + samplesPerChange - 1) / samplesPerChange +
                                     ((sample - 1) % samplesPerChange != 0 ? 1 : 0));
}
