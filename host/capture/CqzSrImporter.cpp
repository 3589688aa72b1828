#include "capture/CqzSrImporter.h"

#include "capture/CqzCaptureBlockQueue.h"
#include "capture/CqzCaptureCrc.h"
#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCapturePieceWindow.h"
#include "capture/CqzCaptureTable.h"
#include "capture/CqzCaptureWorkers.h"
#include "capture/CqzCaptureText.h"
#include "capture/CqzSrMetadata.h"
#include "capture/CqzSrSamples.h"
#include "qzSystem/data/CqzSampleStore.h"

#include <zip.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <future>
#include <cstring>
#include <limits>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <type_traits>
#include <vector>

struct CqzSrImporter::SqzImp
{
    SqzCaptureOptions options;
};

namespace
{
constexpr std::uint64_t kMaxMetadata = 1 << 20;
constexpr std::size_t kBlock = 1 << 18;

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

    std::vector<std::string> EntryNames() const
    {
        std::vector<std::string> names;
        const zip_int64_t count = zip_get_num_entries(m_zip, 0);
        for (zip_int64_t i = 0; i < count; ++i)
            if (const char* name = zip_get_name(m_zip, static_cast<zip_uint64_t>(i), 0))
                names.emplace_back(name);
        return names;
    }

    // The uncompressed size of an entry (0 when unknown).
    std::uint64_t Size(const std::string& entry) const
    {
        zip_stat_t info;
        zip_stat_init(&info);
        if (zip_stat(m_zip, entry.c_str(), 0, &info) != 0 || !(info.valid & ZIP_STAT_SIZE))
            return 0;
        return info.size;
    }

    // Whether an entry is kept without compression.
    bool IsStored(const std::string& entry) const
    {
        zip_stat_t info;
        zip_stat_init(&info);
        return zip_stat(m_zip, entry.c_str(), 0, &info) == 0 &&
               (info.valid & ZIP_STAT_COMP_METHOD) && info.comp_method == ZIP_CM_STORE;
    }

    // Feeds the entry to `consume` in blocks. An entry that says it is larger than `limit` is
    // refused before it is inflated, and one that inflates to more than it says (an archive
    // that lies to pass the checks of its sizes) as soon as it does.
    template <typename F> void Read(const std::string& entry, std::uint64_t limit, F&& consume)
    {
        std::vector<unsigned char> block(kBlock);
        ReadInto(entry, limit, block.size(), [&] { return block.data(); }, consume);
    }

    // Read, each block read into room(), which gives `blockBytes` bytes (or throws).
    template <typename R, typename F>
    void ReadInto(const std::string& entry, std::uint64_t limit, std::size_t blockBytes, R&& room,
                  F&& consume)
    {
        const zip_int64_t index = zip_name_locate(m_zip, entry.c_str(), 0);
        if (index < 0)
            throw CqzCaptureError(m_name, entry, "no such entry in the archive");
        zip_stat_t info;
        zip_stat_init(&info);
        const std::uint64_t declared =
            zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &info) == 0 &&
                    (info.valid & ZIP_STAT_SIZE)
                ? info.size
                : limit;
        if (declared > limit)
            throw CqzCaptureError(m_name, entry,
                                  "the entry is larger than " + std::to_string(limit) + " bytes");
        limit = std::min(limit, declared);
        if (IsPlain(info))
            return ReadStored(entry, static_cast<zip_uint64_t>(index), info, blockBytes, room,
                              consume);
        zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
        if (!file)
            throw CqzCaptureError(m_name, entry,
                                  std::string("cannot read: ") + zip_strerror(m_zip));
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> closer(file, &zip_fclose);
        std::uint64_t total = 0;
        zip_int64_t n;
        unsigned char* block;
        while ((n = zip_fread(file, block = room(), blockBytes)) > 0)
        {
            total += static_cast<std::uint64_t>(n);
            if (total > limit)
                throw CqzCaptureError(m_name, entry,
                                      "the entry inflates to more than the " +
                                          std::to_string(limit) + " bytes it declares");
            consume(block, static_cast<std::size_t>(n));
        }
        if (n < 0)
            throw CqzCaptureError(m_name, entry,
                                  std::string("cannot read: ") + zip_file_strerror(file));
    }

    // Whether an entry of at least two bytes is stored unencrypted, as many bytes as it
    // declares, with its check.
    static bool IsPlain(const zip_stat_t& info)
    {
        constexpr zip_uint64_t known = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC |
                                       ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
        return (info.valid & known) == known && info.comp_method == ZIP_CM_STORE &&
               info.encryption_method == ZIP_EM_NONE && info.size >= 2 &&
               info.comp_size == info.size;
    }

    // ReadInto for a stored entry: read as two windows, all its bytes but the last and then
    // the last, which the reader passes on unchecked, and checked here by the faster
    // CqzCaptureCrc (the reader's own check of a whole entry was a fifth of the CPU time of
    // a load).
    template <typename R, typename F>
    void ReadStored(const std::string& entry, zip_uint64_t index, const zip_stat_t& info,
                    std::size_t blockBytes, R&& room, F&& consume)
    {
        std::uint32_t crc = 0;
        const zip_uint64_t last = info.size - 1;
        for (const auto& [start, length] : {std::pair{zip_uint64_t{0}, last}, {last, 1}})
        {
            zip_source_t* window =
                zip_source_zip(m_zip, m_zip, index, 0, start, static_cast<zip_int64_t>(length));
            if (!window)
                throw CqzCaptureError(m_name, entry,
                                      std::string("cannot read: ") + zip_strerror(m_zip));
            std::unique_ptr<zip_source_t, void (*)(zip_source_t*)> owner(window, &zip_source_free);
            const auto fail = [&]
            {
                throw CqzCaptureError(m_name, entry,
                                      std::string("cannot read: ") +
                                          zip_error_strerror(zip_source_error(window)));
            };
            if (zip_source_open(window) < 0)
                fail();
            for (zip_uint64_t left = length; left > 0;)
            {
                unsigned char* block = room();
                const zip_int64_t n =
                    zip_source_read(window, block, std::min<zip_uint64_t>(left, blockBytes));
                if (n <= 0)
                    fail();
                left -= static_cast<zip_uint64_t>(n);
                crc = CqzCaptureCrc::Update(crc, block, static_cast<std::size_t>(n));
                consume(block, static_cast<std::size_t>(n));
            }
            zip_source_close(window);
        }
        if (crc != info.crc)
            throw CqzCaptureError(m_name, entry, "cannot read: CRC error");
    }

    // The whole of an entry, checked as Read checks it.
    void ReadAll(const std::string& entry, std::vector<unsigned char>& bytes)
    {
        bytes.clear();
        bytes.reserve(static_cast<std::size_t>(Size(entry)));
        Read(entry, std::numeric_limits<std::uint64_t>::max(),
             [&](const unsigned char* p, std::size_t n) { bytes.insert(bytes.end(), p, p + n); });
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
    // Channels channels[0], channels[0] + 1, ...: the value is a shift and a mask.
    bool contiguous = false;
};

using U128 = unsigned __int128;

template <typename Word> Word LowMaskOf(int bits)
{
    return bits >= static_cast<int>(8 * sizeof(Word)) ? ~Word(0) : (Word(1) << bits) - 1;
}

// The value of a label in a sample.
template <typename Word> Word Gather(const Output& o, Word sample)
{
    const int n = static_cast<int>(o.channels.size());
    if (o.contiguous)
        return (sample >> o.channels[0]) & LowMaskOf<Word>(n);
    Word value = 0;
    for (int bit = 0; bit < n; ++bit)
        value |= ((sample >> o.channels[static_cast<std::size_t>(bit)]) & 1) << bit;
    return value;
}

using U128 = unsigned __int128;

// Opens the archive again (for a worker of its own).
using ZipOpener = std::function<std::unique_ptr<ZipArchive>()>;

// Archives for the workers: each reads with one of its own, open ones are handed on.
class ZipPool
{
public:
    explicit ZipPool(ZipOpener open) : m_open(std::move(open)) {}

    template <typename F> void With(F&& use)
    {
        std::unique_ptr<ZipArchive> zip;
        {
            const std::lock_guard lock(m_mutex);
            if (!m_free.empty())
            {
                zip = std::move(m_free.back());
                m_free.pop_back();
            }
        }
        if (!zip)
            zip = m_open();
        use(*zip);
        const std::lock_guard lock(m_mutex);
        m_free.push_back(std::move(zip));
    }

private:
    ZipOpener m_open;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<ZipArchive>> m_free;
};

// A chunk of the logic data that a worker read and decoded: its rows (sample numbers within
// the chunk, none kept while every sample is a row) and each label's values in them, with
// the chunk's first and last samples. A chunk it could not read keeps the refusal; one whose
// bytes are not what the archive declared is left to the plain path (`decoded` false).
struct ChunkPiece
{
    std::size_t index = 0;
    std::vector<unsigned char> bytes;
    std::string errorPlace;
    std::string error;
    bool decoded = false;
    std::int64_t samples = 0;
    std::int64_t rows = 0;
    std::vector<std::uint32_t> rowSamples;
    U128 first = 0;
    U128 last = 0;
    // By label: one channel packed 64 to a word, 2 to 8 channels a byte each, 9 to 64 a word
    // each, more as CqzUInt.
    struct SqzValues
    {
        std::vector<std::uint64_t> words;
        std::vector<std::uint8_t> bytes;
        std::vector<CqzUInt> wide;
    };
    std::vector<SqzValues> values;
    std::future<void> done;

    // The sample number of a row within the chunk.
    std::int64_t SampleOf(std::int64_t row) const
    {
        return rowSamples.empty() ? row : rowSamples[static_cast<std::size_t>(row)];
    }
};

// Hands out the chunks in order.
class ChunkCount
{
public:
    explicit ChunkCount(std::size_t count) : m_count(count) {}
    bool Next(ChunkPiece&)
    {
        if (m_next == m_count)
            return false;
        ++m_next;
        return true;
    }

private:
    std::size_t m_count;
    std::size_t m_next = 0;
};

// One import of one archive.
class SrReader
{
public:
    SrReader(ZipArchive& zip, ZipOpener reopen, const std::string& file,
             const SqzCaptureOptions& options)
        : m_zip(zip), m_reopen(std::move(reopen)), m_file(file), m_options(options),
          m_out(options, file)
    {
    }

    std::unique_ptr<CqzData> Run()
    {
        CheckVersion();
        m_meta.Parse(m_zip.ReadText("metadata", kMaxMetadata), m_file);
        if (m_options.samplerate)
            m_options.samplerate(m_meta.GetSampleRate());
        for (const std::string& name : m_meta.GetAnalogNames())
            m_out.Note("analog channel " + CqzCaptureText::Quote(name) +
                       " skipped (analog channels are not imported)");
        for (const std::string& note : m_meta.GetNotes())
            m_out.Note(note);
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
            Fail("version", "session format version " + CqzCaptureText::Quote(version, 16) +
                                " is not supported (1 and 2 are)");
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
            o.contiguous = true;
            for (std::size_t i = 1; i < o.channels.size(); ++i)
                o.contiguous = o.contiguous && o.channels[i] == o.channels[0] + static_cast<int>(i);
            o.column = m_out.AddLabel(eqzLabelDigital, o.name, static_cast<int>(o.channels.size()));
        }
    }

    void AddBus(const SqzCaptureBus& bus, std::vector<bool>& used)
    {
        const std::string name = CqzCaptureText::Printable(bus.name);
        if (bus.channels.empty())
            Fail("", "bus " + name + " has no channels");
        for (int c : bus.channels)
        {
            if (c < 0 || c >= static_cast<int>(used.size()))
                Fail("", "bus " + name + ": channel " + std::to_string(c) +
                             " does not exist (the capture has channels 0 to " +
                             std::to_string(used.size() - 1) + ")");
            if (used[static_cast<std::size_t>(c)])
                Fail("", "bus " + name + ": channel " + std::to_string(c) +
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
    // The entries of the logic data in order: the one entry named by the metadata, or its
    // numbered chunks, every one of them from 1 on.
    std::vector<std::string> Chunks() const
    {
        const std::string& base = m_meta.GetCaptureFile();
        if (m_zip.Has(base))
            return {base};
        std::set<std::uint64_t> numbers;
        for (const std::string& name : m_zip.EntryNames())
        {
            if (name.size() <= base.size() + 1 || !name.starts_with(base) ||
                name[base.size()] != '-')
                continue;
            const std::string_view number = std::string_view(name).substr(base.size() + 1);
            std::uint64_t n = 0;
            if (CqzCaptureNumber::ParseUnsigned(number, 1u << 24, n) && n > 0 &&
                number == std::to_string(n))
                numbers.insert(n);
            else
                m_out.Note("entry " + CqzCaptureText::Quote(name) +
                           " is not a chunk of the logic data (chunks are numbered from 1); "
                           "ignored");
        }
        if (numbers.empty())
            Fail(base, "the logic data named by the metadata is not in the archive");
        std::vector<std::string> chunks;
        for (std::uint64_t n = 1; n <= *numbers.rbegin(); ++n)
        {
            if (!numbers.count(n))
                Fail(base + "-" + std::to_string(n),
                     "this chunk of the logic data is missing (the archive has " +
                         std::to_string(numbers.size()) + " of the chunks 1 to " +
                         std::to_string(*numbers.rbegin()) + ")");
            chunks.push_back(base + "-" + std::to_string(n));
        }
        return chunks;
    }

    void ReadSamples()
    {
        m_unit = static_cast<std::size_t>(m_meta.GetUnitSize());
        m_channelMask = LowMaskOf<U128>(static_cast<int>(m_meta.GetChannelNames().size()));
        const std::uint64_t rate = m_meta.GetSampleRate();
        m_period = 1000000000000ull % rate == 0 ? 1000000000000ull / rate : 0;
        // Samples whose time is a plain product that stays within the time range.
        m_wholeSamples =
            m_period == 0
                ? 0
                : static_cast<std::int64_t>(std::numeric_limits<std::int64_t>::max() / m_period);
        m_times.resize(kBatchRows);
        m_low.resize(kBatchRows);
        m_bytes.resize(kBatchRows);
        m_planes.resize(m_unit <= 8 ? 8 * m_unit * (kBatchRows / 64) : 0);
        for (const Output& o : m_outputs)
            if (o.channels.size() == 1)
                m_channelBytes |= 1u << (o.channels[0] / 8);
        if (m_unit <= 8)
            m_rows64.resize(kBatchRows);
        else
            m_rows128.resize(kBatchRows);
        for (const Output& o : m_outputs)
            if (o.channels.size() > 64)
                m_wide.resize(kBatchRows);
        const std::vector<std::string> chunks = Chunks();
        std::uint64_t total = 0;
        for (const std::string& chunk : chunks)
            total += m_zip.Size(chunk);
        if (m_options.rowPerSample)
        {
            const auto rows = static_cast<std::int64_t>(
                std::min<std::uint64_t>(total / m_unit, std::numeric_limits<std::int64_t>::max()));
            // The sizes are the archive's word: checked, but not reserved on trust.
            m_out.CheckMemory(rows, m_period != 0);
        }
        std::uint64_t done = 0;
        const std::string& last = chunks.back();
        if (const int threads = CqzCaptureWorkers::Count(); threads > 0 && FitsPieces(chunks))
            ReadInPieces(chunks, threads, total);
        else
        {
            if (threads > 0)
            {
                m_prefaulter = std::make_unique<CqzCaptureWorkers>(1);
                m_promisedRows = static_cast<std::int64_t>(
                    std::min<std::uint64_t>(total / m_unit + 1, std::uint64_t{1} << 40));
                ReadAhead(chunks, total);
            }
            else
                for (const std::string& chunk : chunks)
                {
                    m_chunk = &chunk;
                    m_zip.Read(chunk, std::numeric_limits<std::uint64_t>::max(),
                               [&](const unsigned char* p, std::size_t n)
                               {
                                   Consume(p, n);
                                   done += n;
                                   if (m_options.progress)
                                       m_options.progress(done, total);
                               });
                }
        }
        if (!m_partial.empty())
            Fail(last, "the data ends inside a sample (" + std::to_string(m_partial.size()) +
                           " of " + std::to_string(m_unit) + " bytes)");
        if (m_samples > 0 && m_lastRowSample != m_samples - 1)
        {
            if (m_unit <= 8)
                AddRow(m_samples - 1, static_cast<std::uint64_t>(m_last));
            else
                AddRow(m_samples - 1, m_last);
        }
        Flush();
        // No job may run on the table once it is handed over.
        WaitPrefaults();
        m_prefaulter.reset();
    }

    // The plain path with a reading thread: the chunks are read (for a stored one, copied
    // and its checksum computed) on a worker, straight into the blocks of a queue, a few
    // blocks ahead of their decoding here, in the same blocks and order, with the reading's
    // refusal in its place.
    void ReadAhead(const std::vector<std::string>& chunks, std::uint64_t total)
    {
        struct Stopped
        {
        };
        CqzCaptureBlockQueue queue(kAheadBlocks, kBlock);
        CqzCaptureWorkers reader(1);
        // Ends a reader that waits for room when the decoding fails (before it is joined).
        const std::unique_ptr<CqzCaptureBlockQueue, void (*)(CqzCaptureBlockQueue*)> stop(
            &queue, [](CqzCaptureBlockQueue* q) { q->Stop(); });
        reader.Run(
            [&]
            {
                try
                {
                    const auto room = [&]
                    {
                        if (unsigned char* bytes = queue.Room())
                            return bytes;
                        throw Stopped();
                    };
                    for (std::size_t i = 0; i < chunks.size(); ++i)
                        m_zip.ReadInto(chunks[i], std::numeric_limits<std::uint64_t>::max(),
                                       queue.GetBlockBytes(), room,
                                       [&](const unsigned char*, std::size_t n)
                                       { queue.Commit(i, n); });
                    queue.Finish(nullptr);
                }
                catch (...)
                {
                    queue.Finish(std::current_exception());
                }
            });
        std::uint64_t done = 0;
        while (const CqzCaptureBlockQueue::SqzBlock* block = queue.Next())
        {
            m_chunk = &chunks[block->source];
            Consume(block->bytes.data(), block->size);
            done += block->size;
            if (m_options.progress)
                m_options.progress(done, total);
        }
        m_chunk = &chunks.back();
    }

    // In pieces ---------------------------------------------------------------------------
    // Chunks are inflated and decoded on the workers when each declares a size of whole
    // samples small enough to hold a few at once; they are joined here in order. Archives
    // whose chunks are all stored uncompressed are read on the plain path: there the reading
    // is a copy, and decoding a chunk apart and joining it costs more memory traffic than a
    // second core gives back (measured: 1.5 times the processor time of the plain path).
    bool FitsPieces(const std::vector<std::string>& chunks)
    {
        if (std::all_of(chunks.begin(), chunks.end(),
                        [&](const std::string& chunk) { return m_zip.IsStored(chunk); }))
            return false;
        std::int64_t first = 0;
        for (const std::string& chunk : chunks)
        {
            const std::uint64_t bytes = m_zip.Size(chunk);
            if (bytes == 0 || bytes > kMaxChunkBytes || bytes % m_unit != 0)
                return false;
            m_chunkBytes.push_back(bytes);
            m_chunkFirst.push_back(first);
            first += static_cast<std::int64_t>(bytes / m_unit);
        }
        return true;
    }

    void ReadInPieces(const std::vector<std::string>& chunks, int threads, std::uint64_t total)
    {
        CqzCaptureWorkers workers(threads);
        ZipPool pool(m_reopen);
        ChunkCount count(chunks.size());
        CqzCapturePieceWindow<ChunkPiece, ChunkCount> window(
            workers, count, static_cast<std::size_t>(threads),
            [&](ChunkPiece& piece)
            {
                pool.With([&](ZipArchive& zip) { ReadPiece(zip, chunks[piece.index], piece); });
                if (piece.error.empty() && piece.bytes.size() == m_chunkBytes[piece.index])
                    DecodePiece(piece);
            });
        std::uint64_t done = 0;
        while (ChunkPiece* piece = window.Next())
        {
            m_chunk = &chunks[piece->index];
            if (!piece->error.empty())
                throw CqzCaptureError(m_file, piece->errorPlace, piece->error);
            if (piece->decoded && m_partial.empty() && m_samples == m_chunkFirst[piece->index])
                JoinPiece(*piece);
            else
                Consume(piece->bytes.data(), piece->bytes.size());
            done += piece->bytes.size();
            if (m_options.progress)
                m_options.progress(done, total);
        }
    }

    static void ReadPiece(ZipArchive& zip, const std::string& chunk, ChunkPiece& piece)
    {
        piece.error.clear();
        piece.decoded = false;
        try
        {
            zip.ReadAll(chunk, piece.bytes);
        }
        catch (const CqzCaptureError& e)
        {
            piece.errorPlace = e.GetPlace();
            piece.error = e.GetReason();
        }
    }

    // The rows of a chunk as if it were the first (its first sample is a row; the join drops
    // that row when it repeats the sample before).
    void DecodePiece(ChunkPiece& piece) const
    {
        piece.samples = 0;
        piece.rows = 0;
        piece.rowSamples.clear();
        piece.values.resize(m_outputs.size());
        for (ChunkPiece::SqzValues& v : piece.values)
        {
            v.words.clear();
            v.bytes.clear();
            v.wide.clear();
        }
        const auto count = static_cast<std::int64_t>(piece.bytes.size() / m_unit);
        std::vector<std::uint64_t> narrow;
        std::vector<U128> wide;
        DecodeWith(piece.bytes.data(), static_cast<std::size_t>(count), piece.samples, false, 0,
                   [&](std::int64_t index, auto sample)
                   {
                       if (piece.rows == 0)
                           piece.first = sample;
                       if (index != piece.rows && piece.rowSamples.empty())
                           for (std::int64_t r = 0; r < piece.rows; ++r)
                               piece.rowSamples.push_back(static_cast<std::uint32_t>(r));
                       if (!piece.rowSamples.empty() || index != piece.rows)
                           piece.rowSamples.push_back(static_cast<std::uint32_t>(index));
                       ++piece.rows;
                       auto& batch = BatchOf(sample, narrow, wide);
                       batch.push_back(sample);
                       if (batch.size() == kBatchRows)
                           ExtractBatch(piece, batch);
                   });
        ExtractBatch(piece, narrow);
        ExtractBatch(piece, wide);
        if (count > 0)
        {
            const unsigned char* at = piece.bytes.data() + (count - 1) * m_unit;
            std::uint64_t low = 0, high = 0;
            std::memcpy(&low, at, std::min<std::size_t>(m_unit, 8));
            if (m_unit > 8)
                std::memcpy(&high, at + 8, m_unit - 8);
            piece.last = (U128(high) << 64 | low) & m_channelMask;
        }
        piece.decoded = true;
    }

    // The labels of one channel in samples of up to 64 channels, eight rows at a time: each
    // byte of the eight samples is an 8 x 8 square of bits, transposed so that its byte c
    // holds channel c of the eight rows.
    void ExtractBits(ChunkPiece& piece, const std::uint64_t* rows, std::size_t first,
                     std::size_t n) const
    {
        std::uint64_t channels[64];
        const std::size_t words = (first + n + 63) / 64;
        for (std::size_t k = 0; k < m_outputs.size(); ++k)
            if (m_outputs[k].channels.size() == 1)
                piece.values[k].words.resize(words);
        for (std::size_t at = 0; at < n; at += 64)
        {
            std::fill(channels, channels + 8 * m_unit, 0);
            const std::size_t count = std::min<std::size_t>(64, n - at);
            for (std::size_t group = 0; group < count; group += 8)
                for (std::size_t lane = 0; lane < m_unit; ++lane)
                {
                    std::uint64_t square = 0;
                    for (std::size_t j = 0; j < 8 && group + j < count; ++j)
                        square |= ((rows[at + group + j] >> (8 * lane)) & 0xff) << (8 * j);
                    square = Transpose8(square);
                    for (std::size_t c = 0; c < 8; ++c)
                        channels[8 * lane + c] |= ((square >> (8 * c)) & 0xff) << group;
                }
            for (std::size_t k = 0; k < m_outputs.size(); ++k)
                if (m_outputs[k].channels.size() == 1)
                    piece.values[k].words[(first + at) / 64] =
                        channels[static_cast<std::size_t>(m_outputs[k].channels[0])];
        }
    }

    // Transposes a square of 8 x 8 bits: bit c of byte r goes to bit r of byte c.
    static std::uint64_t Transpose8(std::uint64_t x)
    {
        std::uint64_t t = (x ^ (x >> 7)) & 0x00aa00aa00aa00aaull;
        x ^= t ^ (t << 7);
        t = (x ^ (x >> 14)) & 0x0000cccc0000ccccull;
        x ^= t ^ (t << 14);
        t = (x ^ (x >> 28)) & 0x00000000f0f0f0f0ull;
        return x ^ t ^ (t << 28);
    }

    static std::vector<std::uint64_t>& BatchOf(std::uint64_t, std::vector<std::uint64_t>& narrow,
                                               std::vector<U128>&)
    {
        return narrow;
    }
    static std::vector<U128>& BatchOf(U128, std::vector<std::uint64_t>&, std::vector<U128>& wide)
    {
        return wide;
    }

    // The values of each label in a batch of rows (whole words of 64 rows but the last),
    // appended to the piece's.
    template <typename Word> void ExtractBatch(ChunkPiece& piece, std::vector<Word>& batch) const
    {
        const std::size_t n = batch.size();
        const std::size_t first = static_cast<std::size_t>(piece.rows) - n;
        const Word* rows = batch.data();
        if constexpr (sizeof(Word) == 8)
            ExtractBits(piece, rows, first, n);
        for (std::size_t k = 0; k < m_outputs.size(); ++k)
        {
            const Output& o = m_outputs[k];
            ChunkPiece::SqzValues& v = piece.values[k];
            if (o.channels.size() == 1 && sizeof(Word) == 8)
                continue;
            if (o.channels.size() == 1)
            {
                // Sixty-four rows to a word: one bit of each, shifted into place.
                v.words.resize((first + n + 63) / 64);
                std::uint64_t* out = v.words.data() + first / 64;
                const int channel = o.channels[0];
                for (std::size_t at = 0; at < n; at += 64)
                {
                    const std::size_t end = std::min(n, at + 64);
                    std::uint64_t word = 0;
                    for (std::size_t i = at; i < end; ++i)
                        word |= static_cast<std::uint64_t>((rows[i] >> channel) & 1) << (i - at);
                    *out++ = word;
                }
            }
            else if (o.channels.size() <= 8)
            {
                v.bytes.resize(first + n);
                Extract(o, rows, v.bytes.data() + first, n);
            }
            else if (o.channels.size() <= 64)
            {
                v.words.resize(first + n);
                Extract(o, rows, v.words.data() + first, n);
            }
            else
                for (std::size_t i = 0; i < n; ++i)
                {
                    const U128 value = Gather(o, U128(rows[i]));
                    v.wide.emplace_back(static_cast<std::uint64_t>(value >> 64),
                                        static_cast<std::uint64_t>(value));
                }
        }
        batch.clear();
    }

    // A decoded chunk: its rows appended, their times and each label's values in bulk.
    void JoinPiece(const ChunkPiece& piece)
    {
        Flush();
        const std::int64_t base = m_samples;
        const std::int64_t skip =
            !m_options.rowPerSample && base > 0 && piece.rows > 0 && piece.first == m_last ? 1 : 0;
        const std::int64_t count = piece.rows - skip;
        m_samples += piece.samples;
        if (piece.samples > 0)
            m_last = piece.last;
        if (count <= 0)
            return;
        CqzDataTable& table = m_out.GetTable();
        const std::int64_t first = table.GetRowCount();
        m_out.CheckAppend(first, count);
        // Times a batch at a time, each written before rows after it exist (the table keeps
        // its times from decreasing).
        for (std::int64_t done = 0; done < count; done += kBatchRows)
        {
            const std::int64_t n = std::min<std::int64_t>(kBatchRows, count - done);
            const std::int64_t from = skip + done;
            if (piece.rowSamples.empty() && IsWhole(base + from, n))
            {
                AppendStepped(base + from, n);
                continue;
            }
            if (base + piece.SampleOf(from + n - 1) < m_wholeSamples)
                for (std::int64_t i = 0; i < n; ++i) // whole periods: a product
                    m_times[static_cast<std::size_t>(i)] =
                        (base + piece.SampleOf(from + i)) * static_cast<std::int64_t>(m_period);
            else
                for (std::int64_t i = 0; i < n; ++i)
                    m_times[static_cast<std::size_t>(i)] = Time(base + piece.SampleOf(from + i));
            table.AppendRows(n);
            table.SetTimes(first + done, m_times.data(), n);
        }
        for (std::size_t k = 0; k < m_outputs.size(); ++k)
        {
            const Output& o = m_outputs[k];
            const ChunkPiece::SqzValues& v = piece.values[k];
            if (o.channels.size() == 1)
                table.SetPackedBits(o.column, first, v.words.data(), skip, count);
            else if (o.channels.size() <= 8)
                table.SetValues(o.column, first, v.bytes.data() + skip, count);
            else if (o.channels.size() <= 64)
                table.SetValues(o.column, first, v.words.data() + skip, count);
            else
                table.SetValues(o.column, first, v.wide.data() + skip, count);
        }
        m_lastRowSample = base + piece.SampleOf(piece.rows - 1);
    }

    void Consume(const unsigned char* p, std::size_t n)
    {
        const std::size_t u = m_unit;
        if (!m_partial.empty())
        {
            const std::size_t take = std::min(n, u - m_partial.size());
            m_partial.insert(m_partial.end(), p, p + take);
            p += take;
            n -= take;
            if (m_partial.size() < u)
                return;
            Decode(m_partial.data(), 1);
            m_partial.clear();
        }
        Decode(p, n / u);
        m_partial.assign(p + n / u * u, p + n);
    }

    // Whole samples at p; each change of any channel (or each sample) becomes a row.
    void Decode(const unsigned char* p, std::size_t count)
    {
        if (m_unit <= 8)
            return DecodeInGroups(p, count);
        DecodeWith(p, count, m_samples, m_samples > 0, m_last,
                   [this](std::int64_t index, auto sample) { AddRow(index, sample); });
    }

    // Samples of up to 8 bytes, 64 at a time: their changes found at once, a group that is
    // all rows copied in bulk.
    void DecodeInGroups(const unsigned char* p, std::size_t count)
    {
        const auto mask = static_cast<std::uint64_t>(m_channelMask);
        for (std::size_t at = 0; at < count; at += 64)
        {
            const std::size_t n = std::min<std::size_t>(64, count - at);
            const unsigned char* group = p + at * m_unit;
            std::uint64_t rows = ~std::uint64_t{0};
            if (!m_options.rowPerSample)
                rows = CqzSrSamples::Changes(group, m_unit, n, static_cast<std::uint64_t>(m_last),
                                             mask) |
                       (m_samples == 0 ? 1 : 0);
            rows &= n == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
            if (n == 64 && rows == ~std::uint64_t{0} && m_batch + 64 <= kBatchRows)
                AddGroup(group, mask);
            else
                for (; rows != 0; rows &= rows - 1)
                {
                    const auto i = static_cast<std::size_t>(std::countr_zero(rows));
                    AddRow(m_samples + static_cast<std::int64_t>(i),
                           SampleAt(group + i * m_unit) & mask);
                }
            m_samples += static_cast<std::int64_t>(n);
            m_last = SampleAt(group + (n - 1) * m_unit) & mask;
        }
    }

    // The sample of up to 8 bytes at s (one load for the usual units: a copy of a variable
    // size is a call, and its bytes stall the load that follows).
    std::uint64_t SampleAt(const unsigned char* s) const
    {
        switch (m_unit)
        {
        case 1:
            return *s;
        case 2:
            return Load<2>(s);
        case 4:
            return Load<4>(s);
        case 8:
            return Load<8>(s);
        default:
            std::uint64_t v = 0;
            std::memcpy(&v, s, m_unit);
            return v;
        }
    }

    // 64 samples that are each a row, into the batch (which has room for them).
    void AddGroup(const unsigned char* group, std::uint64_t mask)
    {
        CqzSrSamples::Widen(group, m_unit, mask, m_rows64.data() + m_batch);
        if (!Steps(m_samples, 64))
            WriteTimes(m_batch, m_samples, 64);
        m_lastRowSample = m_samples + 63;
        m_batch += 64;
        if (m_batch == kBatchRows)
            Flush();
    }

    // Whole samples at p, numbered from `index` on (advanced past them); `row` is told each
    // sample that differs from the one before (`last`, when `compare`), or each sample.
    template <typename Row>
    void DecodeWith(const unsigned char* p, std::size_t count, std::int64_t& index, bool compare,
                    U128 last, Row&& row) const
    {
        using U64 = std::uint64_t;
        const auto go = [&](auto word, auto load)
        {
            using Word = decltype(word);
            DecodeAs<Word>(p, count, load, index, compare, static_cast<Word>(last), row);
        };
        switch (m_unit)
        {
        case 1:
            return go(U64(), [](const unsigned char* s) { return U64(*s); });
        case 2:
            return go(U64(), [](const unsigned char* s) { return Load<2>(s); });
        case 4:
            return go(U64(), [](const unsigned char* s) { return Load<4>(s); });
        default:
            if (m_unit <= 8)
                return go(U64(),
                                     [u = m_unit](const unsigned char* s)
                                     {
                                         U64 v = 0;
                                         std::memcpy(&v, s, u);
                                         return v;
                                     });
            return go(U128(),
                                  [u = m_unit](const unsigned char* s)
                                  {
                                      std::uint64_t low = 0, high = 0;
                                      std::memcpy(&low, s, std::min<std::size_t>(u, 8));
                                      if (u > 8)
                                          std::memcpy(&high, s + 8, u - 8);
                                      return U128(high) << 64 | low;
                                  });
        }
    }

    template <std::size_t N> static std::uint64_t Load(const unsigned char* s)
    {
        std::conditional_t<N == 2, std::uint16_t,
                           std::conditional_t<N == 4, std::uint32_t, std::uint64_t>>
            v;
        std::memcpy(&v, s, N);
        return v;
    }

    template <typename Word, typename F, typename Row>
    void DecodeAs(const unsigned char* p, std::size_t count, F&& load, std::int64_t& index,
                  bool compare, Word last, Row&& row) const
    {
        const std::size_t u = m_unit;
        const bool every = m_options.rowPerSample;
        const auto mask = static_cast<Word>(m_channelMask);
        for (std::size_t i = 0; i < count; ++i)
        {
            const Word sample = load(p + i * u) & mask;
            const std::int64_t at = index++;
            if (!every && compare && sample == last)
            {
                // Long stretches without change: skip the samples with the same bytes.
                const std::size_t same = Repeats(p + (i + 1) * u, count - i - 1, p + i * u);
                index += static_cast<std::int64_t>(same);
                i += same;
                continue;
            }
            compare = true;
            last = sample;
            row(at, sample);
        }
    }

    // Whole samples at p equal to the sample at `last`.
    std::size_t Repeats(const unsigned char* p, std::size_t count, const unsigned char* last) const
    {
        const std::size_t u = m_unit;
        std::size_t i = 0;
        if (u == 1)
            while (i < count && p[i] == *last)
                ++i;
        else
            while (i < count && std::memcmp(p + i * u, last, u) == 0)
                ++i;
        return i;
    }

    // Gathers a row; the rows go to the table a batch at a time, label by label.
    template <typename Word> void AddRow(std::int64_t index, Word sample)
    {
        m_last = sample;
        m_lastRowSample = index;
        const bool stepped = Steps(index, 1);
        const std::size_t at = m_batch++;
        if (!stepped)
            m_times[at] = Time(index);
        if constexpr (sizeof(Word) <= 8)
            m_rows64[at] = sample;
        else
            m_rows128[at] = sample;
        if (m_batch == kBatchRows)
            Flush();
    }

    // Whether rows of the samples [sample, sample + count) continue the batch's run of
    // consecutive samples of whole periods, whose times are left unwritten (the table takes
    // them as a progression). The first that does not ends the run: its times are written.
    bool Steps(std::int64_t sample, std::int64_t count)
    {
        if (m_stepped && IsWhole(sample, count) &&
            (m_batch == 0 || sample == m_batchSample + static_cast<std::int64_t>(m_batch)))
        {
            if (m_batch == 0)
                m_batchSample = sample;
            return true;
        }
        if (m_stepped)
            WriteTimes(0, m_batchSample, m_batch);
        m_stepped = false;
        return false;
    }

    // The times of the samples [sample, sample + count) into the batch from row `at` on.
    void WriteTimes(std::size_t at, std::int64_t sample, std::size_t count)
    {
        std::int64_t* times = m_times.data() + at;
        const auto n = static_cast<std::int64_t>(count);
        if (!IsWhole(sample, n))
        {
            for (std::int64_t i = 0; i < n; ++i)
                times[i] = Time(sample + i);
            return;
        }
        // Whole periods: a sum (the vectoriser steps it, where a product of 64-bit words has
        // no vector form in the baseline instruction set).
        const auto period = static_cast<std::int64_t>(m_period);
        std::int64_t time = sample * period;
        for (std::int64_t i = 0; i < n; ++i, time += period)
            times[i] = time;
    }

    // Whether the samples [sample, sample + count) have times of whole periods.
    bool IsWhole(std::int64_t sample, std::int64_t count) const
    {
        return sample + count - 1 < m_wholeSamples;
    }

    // Appends rows for the samples [sample, sample + count) of whole periods.
    void AppendStepped(std::int64_t sample, std::int64_t count)
    {
        const auto period = static_cast<std::int64_t>(m_period);
        if (m_out.GetTable().AppendRows(count, sample * period, period) < 0)
            Fail(*m_chunk, "sample " + std::to_string(sample) + " is before the rows read");
    }

    // Writes the rows gathered so far to the table.
    void Flush()
    {
        if (m_batch == 0)
            return;
        CqzDataTable& table = m_out.GetTable();
        const auto count = static_cast<std::int64_t>(m_batch);
        const std::int64_t first = table.GetRowCount();
        m_out.CheckAppend(first, count);
        PrefaultAhead(first);
        if (m_stepped)
            AppendStepped(m_batchSample, count);
        else
        {
            table.AppendRows(count);
            table.SetTimes(first, m_times.data(), count);
        }
        const std::size_t words = (m_batch + 63) / 64;
        if (m_unit <= 8 && m_channelBytes != 0)
            CqzSrSamples::Planes(m_rows64.data(), m_batch, m_unit, m_channelBytes,
                                 m_planes.data());
        for (const Output& o : m_outputs)
        {
            if (m_unit <= 8 && o.channels.size() == 1)
            {
                const auto channel = static_cast<std::size_t>(o.channels[0]);
                table.SetPackedBits(o.column, first, m_planes.data() + channel * words, 0, count);
                continue;
            }
            if (m_unit <= 8)
                Values(o, m_rows64.data());
            else
                Values(o, m_rows128.data());
            if (o.channels.size() <= 8)
                table.SetValues(o.column, first, m_bytes.data(), count);
            else if (o.channels.size() <= 64)
                table.SetValues(o.column, first, m_low.data(), count);
            else
                table.SetValues(o.column, first, m_wide.data(), count);
        }
        m_batch = 0;
        m_stepped = true;
    }

    // On the plain path the table's memory is made present ahead of the rows on a worker, so
    // that the zeroing of fresh pages does not hold up the reading: room reserved at most
    // twofold at a time towards the rows the samples can make (room costs address space
    // only), and the rows up to kPrefaultRows ahead prefaulted. No column may move while a
    // job runs: the jobs end before room is reserved, which is whenever more is wanted and
    // when the times stop being a progression (the column held none till then). Where the
    // system refuses the room, the columns grow as rows come and nothing is prefaulted any
    // more.
    void PrefaultAhead(std::int64_t rows)
    {
        if (!m_prefaulter || rows + static_cast<std::int64_t>(kBatchRows) + kPrefaultRows / 2 <=
                                 m_prefaulted)
            return;
        CqzDataTable& table = m_out.GetTable();
        const std::int64_t ahead = rows + kPrefaultRows;
        const bool progression = TimesAreProgression();
        if (ahead > m_reserved || progression != m_reservedOnProgression)
        {
            WaitPrefaults();
            m_reserved = std::max(m_reserved, std::max(ahead, std::min(2 * std::max(m_reserved,
                                                                                    kPrefaultRows),
                                                                       m_promisedRows)));
            m_reservedOnProgression = progression;
            try
            {
                table.Reserve(m_reserved);
            }
            catch (const std::bad_alloc&)
            {
                m_prefaulter.reset();
                return;
            }
        }
        std::erase_if(m_prefaults, [](const std::future<void>& job)
                      { return job.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        const std::int64_t from = std::max(m_prefaulted, rows);
        m_prefaults.push_back(m_prefaulter->Run(table.PrefaultJob(from, ahead - from)));
        m_prefaulted = ahead;
    }

    bool TimesAreProgression() const
    {
        const std::shared_ptr<CqzSampleStore> times = m_out.GetTable().GetTimeStore();
        return times && times->GetEntries().IsProgression();
    }

    void WaitPrefaults()
    {
        for (std::future<void>& job : m_prefaults)
            job.wait();
        m_prefaults.clear();
    }

    // The values of a label in the gathered rows, into m_low or m_wide.
    template <typename Word> void Values(const Output& o, const Word* rows)
    {
        if (o.channels.size() > 64)
        {
            for (std::size_t i = 0; i < m_batch; ++i)
            {
                const U128 v = Gather(o, U128(rows[i]));
                m_wide[i] =
                    CqzUInt(static_cast<std::uint64_t>(v >> 64), static_cast<std::uint64_t>(v));
            }
            return;
        }
        if (o.channels.size() <= 8)
            return Extract(o, rows, m_bytes.data(), m_batch);
        Extract(o, rows, m_low.data(), m_batch);
    }

    // The values of a label of up to 64 channels in n rows, as entries of type Out.
    template <typename Word, typename Out>
    static void Extract(const Output& o, const Word* rows, Out* out, std::size_t n)
    {
        if constexpr (std::is_same_v<Word, std::uint64_t> && std::is_same_v<Out, std::uint8_t>)
            if (o.contiguous)
                return CqzSrSamples::Field(rows, n, o.channels[0],
                                           static_cast<std::uint8_t>(LowMaskOf<std::uint64_t>(
                                               static_cast<int>(o.channels.size()))),
                                           out);
        if (o.contiguous)
        {
            const int shift = o.channels[0];
            const auto mask =
                static_cast<Word>(LowMaskOf<std::uint64_t>(static_cast<int>(o.channels.size())));
            for (std::size_t i = 0; i < n; ++i)
                out[i] = static_cast<Out>((rows[i] >> shift) & mask);
            return;
        }
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<Out>(Gather(o, rows[i]));
    }

    std::int64_t Time(std::int64_t sample) const
    {
        if (sample < m_wholeSamples)
            return sample * static_cast<std::int64_t>(m_period);
        const U128 ps = m_period != 0 ? U128(static_cast<std::uint64_t>(sample)) * m_period
                                      : U128(static_cast<std::uint64_t>(sample)) *
                                            1000000000000ull / m_meta.GetSampleRate();
        if (ps > static_cast<U128>(std::numeric_limits<std::int64_t>::max()))
            Fail(*m_chunk, "sample " + std::to_string(sample) + " is beyond the time range");
        return static_cast<std::int64_t>(ps);
    }

    static constexpr std::size_t kBatchRows = 2048;
    static constexpr std::int64_t kPrefaultRows = std::int64_t{1} << 19;
    // The blocks read ahead of their decoding.
    static constexpr std::size_t kAheadBlocks = 8;
    // The largest chunk read in pieces (a few are held at once).
    static constexpr std::uint64_t kMaxChunkBytes = std::uint64_t{8} << 20;

    ZipArchive& m_zip;
    ZipOpener m_reopen;
    // In pieces: each chunk's declared size and first sample.
    std::vector<std::uint64_t> m_chunkBytes;
    std::vector<std::int64_t> m_chunkFirst;
    std::string m_file;
    const SqzCaptureOptions& m_options;
    CqzSrMetadata m_meta;
    CqzCaptureTable m_out;
    std::vector<Output> m_outputs;
    std::size_t m_unit = 1;
    U128 m_channelMask = 0;
    U128 m_last = 0;
    std::uint64_t m_period = 0; // picoseconds per sample when whole
    std::int64_t m_wholeSamples = 0;
    std::size_t m_batch = 0; // rows gathered, not yet in the table
    // While m_stepped, the gathered rows are the consecutive samples from m_batchSample on,
    // all of whole periods, and m_times holds none of their times.
    bool m_stepped = true;
    std::int64_t m_batchSample = 0;
    std::int64_t m_samples = 0;
    std::int64_t m_lastRowSample = -1;
    const std::string* m_chunk = nullptr;
    std::vector<unsigned char> m_partial;
    // The rows gathered for the table: times, samples, and one label's values at a time
    // (bytes for labels of up to 8 channels).
    std::vector<std::int64_t> m_times;
    std::vector<std::uint64_t> m_rows64;
    std::vector<U128> m_rows128;
    std::vector<std::uint64_t> m_low;
    std::vector<std::uint8_t> m_bytes;
    std::vector<CqzUInt> m_wide;
    // The channels of the gathered rows that labels of one channel take, 64 to a word; bit b
    // of m_channelBytes: byte b of a sample holds such channels.
    std::vector<std::uint64_t> m_planes;
    unsigned m_channelBytes = 0;
    // The plain path's prefaulting (PrefaultAhead); last, so that its jobs end before the
    // table goes.
    std::int64_t m_promisedRows = 0;
    std::int64_t m_reserved = 0;
    std::int64_t m_prefaulted = 0;
    bool m_reservedOnProgression = false;
    std::vector<std::future<void>> m_prefaults;
    std::unique_ptr<CqzCaptureWorkers> m_prefaulter;
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
    return SrReader(
               zip, [path] { return std::make_unique<ZipArchive>(path, path); }, path,
               m_imp->options)
        .Run();
}

std::unique_ptr<CqzData> CqzSrImporter::ImportBuffer(const void* bytes, std::size_t size,
                                                     const std::string& name) const
{
    ZipArchive zip(bytes, size, name);
    return SrReader(
               zip, [bytes, size, name] { return std::make_unique<ZipArchive>(bytes, size, name); },
               name, m_imp->options)
        .Run();
}
