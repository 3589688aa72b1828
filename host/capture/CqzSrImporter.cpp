#include "capture/CqzSrImporter.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCaptureTable.h"
#include "capture/CqzSrMetadata.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

struct CqzSrImporter::SqzImp
{
    SqzCaptureOptions options;
};

namespace
{
constexpr std::uint64_t kMaxMetadata = 1 << 20;
constexpr std::size_t kBlock = 1 << 16;

// An archive opened read-only from a file or a buffer.
class ZipArchive
{
public:
    ZipArchive(const std::string& path, const std::string& name) : m_name(name)
    {
        int code = 0;
        m_zip = zip_open(path.c_str(), ZIP_RDONLY, &code);
        if (!m_zip)
        {
            zip_error_t error;
            zip_error_init_with_code(&error, code);
            const std::string what = zip_error_strerror(&error);
            zip_error_fini(&error);
            throw CqzCaptureError(name, 0, "cannot open as a session archive: " + what);
        }
    }
    ZipArchive(const void* bytes, std::size_t size, const std::string& name) : m_name(name)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes, size, 0, &error);
        if (source)
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!m_zip)
        {
            if (source)
                zip_source_free(source);
            const std::string what = zip_error_strerror(&error);
            zip_error_fini(&error);
            throw CqzCaptureError(name, 0, "cannot open as a session archive: " + what);
        }
        zip_error_fini(&error);
    }
    ~ZipArchive() { zip_discard(m_zip); }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool Has(const std::string& entry) const
    {
        return zip_name_locate(m_zip, entry.c_str(), 0) >= 0;
    }

    // Feeds the entry to `consume` in blocks.
    template <typename F> void Read(const std::string& entry, std::uint64_t limit, F&& consume)
    {
        const zip_int64_t index = zip_name_locate(m_zip, entry.c_str(), 0);
        if (index < 0)
            throw CqzCaptureError(m_name, entry, "no such entry in the archive");
        zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
        if (!file)
            throw CqzCaptureError(m_name, entry,
                                  std::string("cannot read: ") + zip_strerror(m_zip));
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> closer(file, &zip_fclose);
        std::vector<unsigned char> block(kBlock);
        std::uint64_t total = 0;
        zip_int64_t n;
        while ((n = zip_fread(file, block.data(), block.size())) > 0)
        {
            total += static_cast<std::uint64_t>(n);
            if (total > limit)
                throw CqzCaptureError(
                    m_name, entry, "the entry is larger than " + std::to_string(limit) + " bytes");
            consume(block.data(), static_cast<std::size_t>(n));
        }
        if (n < 0)
            throw CqzCaptureError(m_name, entry,
                                  std::string("cannot read: ") + zip_file_strerror(file));
    }

    std::string ReadText(const std::string& entry, std::uint64_t limit)
    {
        std::string text;
        Read(entry, limit,
             [&](const unsigned char* p, std::size_t n)
             { text.append(reinterpret_cast<const char*>(p), n); });
        return text;
    }

private:
    std::string m_name;
    zip_t* m_zip = nullptr;
};

// One label made of channels: bit i of its value is channel channels[i].
struct Output
{
    Output(std::string n, std::vector<int> c) : name(std::move(n)), channels(std::move(c)) {}

    std::string name;
    std::vector<int> channels;
    int column = -1;
    CqzUInt mask; // the channels' bits in a sample
};

// One import of one archive.
class SrReader
{
public:
    SrReader(ZipArchive& zip, const std::string& file, const SqzCaptureOptions& options)
        : m_zip(zip), m_file(file), m_options(options), m_out(options.sourceID)
    {
    }

    std::unique_ptr<CqzData> Run()
    {
        CheckVersion();
        m_meta.Parse(m_zip.ReadText("metadata", kMaxMetadata), m_file);
        PlanOutputs();
        ReadSamples();
        return m_out.Release();
    }

private:
    [[noreturn]] void Fail(const std::string& place, const std::string& what) const
    {
        throw CqzCaptureError(m_file, place, what);
    }

    void CheckVersion()
    {
        if (!m_zip.Has("version"))
            return;
        std::string version = m_zip.ReadText("version", 64);
        version.erase(std::remove_if(version.begin(), version.end(),
                                     [](char c) { return c == '\n' || c == '\r' || c == ' '; }),
                      version.end());
        if (version != "1" && version != "2")
            Fail("version", "session format version '" + version.substr(0, 16) +
                                "' is not supported (1 and 2 are)");
    }

    // Labels --------------------------------------------------------------------------------
    void PlanOutputs()
    {
        const std::vector<std::string>& names = m_meta.GetChannelNames();
        std::vector<bool> used(names.size(), false);
        for (const SqzCaptureBus& bus : m_options.buses)
            AddBus(bus, used);
        if (m_options.autoBuses)
            AddAutoBuses(used);
        for (std::size_t c = 0; c < names.size(); ++c)
            if (!used[c])
                m_outputs.emplace_back(names[c], std::vector<int>{static_cast<int>(c)});
        // Labels in the order of their lowest channel.
        std::stable_sort(m_outputs.begin(), m_outputs.end(),
                         [](const Output& a, const Output& b)
                         {
                             return *std::min_element(a.channels.begin(), a.channels.end()) <
                                    *std::min_element(b.channels.begin(), b.channels.end());
                         });
        for (Output& o : m_outputs)
        {
            for (int c : o.channels)
                o.mask |= CqzUInt(1) << c;
            o.column = m_out.AddLabel(eqzLabelDigital, o.name, static_cast<int>(o.channels.size()));
        }
    }

    void AddBus(const SqzCaptureBus& bus, std::vector<bool>& used)
    {
        if (bus.channels.empty())
            Fail("", "bus " + bus.name + " has no channels");
        for (int c : bus.channels)
        {
            if (c < 0 || c >= static_cast<int>(used.size()))
                Fail("", "bus " + bus.name + ": channel " + std::to_string(c) +
                             " does not exist (the capture has channels 0 to " +
                             std::to_string(used.size() - 1) + ")");
            if (used[static_cast<std::size_t>(c)])
                Fail("", "bus " + bus.name + ": channel " + std::to_string(c) +
                             " is already part of a bus");
            used[static_cast<std::size_t>(c)] = true;
        }
        m_outputs.emplace_back(bus.name, bus.channels);
    }

    // Channels named NAME[i] with contiguous indexes become bus NAME.
    void AddAutoBuses(std::vector<bool>& used)
    {
        std::map<std::string, std::map<std::uint64_t, int>> groups;
        const std::vector<std::string>& names = m_meta.GetChannelNames();
        for (std::size_t c = 0; c < names.size(); ++c)
        {
            const std::string& name = names[c];
            const std::size_t open = name.rfind('[');
            std::uint64_t index = 0;
            if (used[c] || open == std::string::npos || open == 0 || name.back() != ']' ||
                !CqzCaptureNumber::ParseUnsigned(
                    std::string_view(name).substr(open + 1, name.size() - open - 2), 1000, index))
                continue;
            groups[name.substr(0, open)].emplace(index, static_cast<int>(c));
        }
        for (const auto& [prefix, members] : groups)
        {
            const bool contiguous =
                members.rbegin()->first - members.begin()->first + 1 == members.size();
            if (members.size() < 2 || !contiguous)
                continue;
            Output bus(prefix, {});
            for (const auto& [index, channel] : members)
            {
                bus.channels.push_back(channel);
                used[static_cast<std::size_t>(channel)] = true;
            }
            m_outputs.push_back(std::move(bus));
        }
    }

    // Samples -------------------------------------------------------------------------------
    std::vector<std::string> Chunks() const
    {
        const std::string& base = m_meta.GetCaptureFile();
        if (m_zip.Has(base))
            return {base};
        std::vector<std::string> chunks;
        for (int n = 1; m_zip.Has(base + "-" + std::to_string(n)); ++n)
            chunks.push_back(base + "-" + std::to_string(n));
        if (chunks.empty())
            Fail(base, "the logic data named by the metadata is not in the archive");
        return chunks;
    }

    void ReadSamples()
    {
        const int unit = m_meta.GetUnitSize();
        m_channelMask = CqzUInt::LowMask(static_cast<int>(m_meta.GetChannelNames().size()));
        std::string last;
        for (const std::string& chunk : Chunks())
        {
            m_zip.Read(chunk, std::numeric_limits<std::uint64_t>::max(),
                       [&](const unsigned char* p, std::size_t n) { Consume(p, n, unit, chunk); });
            last = chunk;
        }
        if (!m_partial.empty())
            Fail(last, "the data ends inside a sample (" + std::to_string(m_partial.size()) +
                           " of " + std::to_string(unit) + " bytes)");
        if (m_samples > 0 && m_lastRowSample != m_samples - 1)
            m_out.GetTable().AppendRow(Time(m_samples - 1, last));
    }

    void Consume(const unsigned char* p, std::size_t n, int unit, const std::string& chunk)
    {
        const std::size_t u = static_cast<std::size_t>(unit);
        if (!m_partial.empty())
        {
            const std::size_t take = std::min(n, u - m_partial.size());
            m_partial.insert(m_partial.end(), p, p + take);
            p += take;
            n -= take;
            if (m_partial.size() < u)
                return;
            Sample(m_partial.data(), u, chunk);
            m_partial.clear();
        }
        while (n >= u)
        {
            const std::size_t same =
                m_samples > 0 && !m_options.rowPerSample ? Repeats(p, n, u) : 0;
            if (same == 0)
            {
                Sample(p, u, chunk);
                p += u;
                n -= u;
                continue;
            }
            m_samples += static_cast<std::int64_t>(same);
            p += same * u;
            n -= same * u;
        }
        m_partial.assign(p, p + n);
    }

    // Whole samples at p with the same bytes as the last sample (the common case of a logic
    // capture: long stretches without change).
    std::size_t Repeats(const unsigned char* p, std::size_t n, std::size_t unit) const
    {
        std::size_t i = 0;
        if (unit == 1)
            while (i < n && p[i] == m_lastRaw[0])
                ++i;
        else if (unit == 2)
            while (i + 2 <= n && p[i] == m_lastRaw[0] && p[i + 1] == m_lastRaw[1])
                i += 2;
        else
            while (i + unit <= n && std::memcmp(p + i, m_lastRaw, unit) == 0)
                i += unit;
        return i / unit;
    }

    void Sample(const unsigned char* p, std::size_t unit, const std::string& chunk)
    {
        std::memcpy(m_lastRaw, p, unit);
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        std::memcpy(&low, p, std::min<std::size_t>(unit, 8));
        if (unit > 8)
            std::memcpy(&high, p + 8, unit - 8);
        const CqzUInt sample = CqzUInt(high, low) & m_channelMask;
        const std::int64_t index = m_samples++;
        if (index > 0 && sample == m_last && !m_options.rowPerSample)
            return;
        const CqzUInt changed = index == 0 ? m_channelMask : sample ^ m_last;
        m_last = sample;
        m_lastRowSample = index;
        CqzDataTable& table = m_out.GetTable();
        table.AppendRow(Time(index, chunk));
        for (const Output& o : m_outputs)
            if (!(changed & o.mask).IsZero())
                table.SetValue(o.column, Gather(o, sample));
    }

    static CqzUInt Gather(const Output& o, const CqzUInt& sample)
    {
        if (o.channels.size() == 1)
            return CqzUInt(sample.GetBit(o.channels[0]) ? 1 : 0);
        CqzUInt value;
        for (std::size_t bit = 0; bit < o.channels.size(); ++bit)
            if (sample.GetBit(o.channels[bit]))
                value |= CqzUInt(1) << static_cast<int>(bit);
        return value;
    }

    std::int64_t Time(std::int64_t sample, const std::string& chunk) const
    {
        const unsigned __int128 ps =
            static_cast<unsigned __int128>(sample) * 1000000000000ull / m_meta.GetSampleRate();
        if (ps > static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max()))
            Fail(chunk, "sample " + std::to_string(sample) + " is beyond the time range");
        return static_cast<std::int64_t>(ps);
    }

    ZipArchive& m_zip;
    std::string m_file;
    const SqzCaptureOptions& m_options;
    CqzSrMetadata m_meta;
    CqzCaptureTable m_out;
    std::vector<Output> m_outputs;
    CqzUInt m_channelMask;
    CqzUInt m_last;
    std::int64_t m_samples = 0;
    std::int64_t m_lastRowSample = -1;
    std::vector<unsigned char> m_partial;
    unsigned char m_lastRaw[CqzSrMetadata::kMaxUnitSize] = {};
};
} // namespace

CqzSrImporter::CqzSrImporter(const SqzCaptureOptions& options) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->options = options;
}

CqzSrImporter::~CqzSrImporter() = default;

std::unique_ptr<CqzData> CqzSrImporter::ImportFile(const std::string& path) const
{
    ZipArchive zip(path, path);
    return SrReader(zip, path, m_imp->options).Run();
}

std::unique_ptr<CqzData> CqzSrImporter::ImportBuffer(const void* bytes, std::size_t size,
                                                     const std::string& name) const
{
    ZipArchive zip(bytes, size, name);
    return SrReader(zip, name, m_imp->options).Run();
}
