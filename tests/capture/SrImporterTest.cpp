#include "CaptureTestUtil.h"
#include "capture/CqzSrImporter.h"
#include "qzSystem/data/CqzSampleStore.h"

#include <zip.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace capture_test;

namespace
{
using Entries = std::vector<std::pair<std::string, std::string>>;

std::string Metadata(const std::string& device)
{
    return "[global]\nsigrok version=0.3.0\n\n[device 1]\ncapturefile=logic-1\n" + device;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

class SrTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CqzLabelMgr::Instance().Reset();
        m_path = (std::filesystem::temp_directory_path() /
                  ("capture_test_" + std::to_string(getpid()) + ".sr"))
                     .string();
    }
    void TearDown() override { std::filesystem::remove(m_path); }

    // Writes an archive with these entries (in this order, compressed unless `stored`) to
    // m_path.
    void Write(const Entries& entries, bool stored = false)
    {
        int error = 0;
        zip_t* zip = zip_open(m_path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_NE(zip, nullptr);
        for (const auto& [name, bytes] : entries)
        {
            zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
            const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE);
            ASSERT_GE(index, 0);
            const zip_int32_t method = stored ? ZIP_CM_STORE : ZIP_CM_DEFAULT;
            ASSERT_EQ(zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), method, 0),
                      0);
        }
        ASSERT_EQ(zip_close(zip), 0);
    }
    const CqzDataTable& Import(const Entries& entries, const SqzCaptureOptions& options = {})
    {
        Write(entries);
        m_data = CqzSrImporter(options).ImportFile(m_path);
        return *m_data->GetTable(0);
    }
    // The message without the file name; also checks that nothing stays registered.
    std::string Refusal(const Entries& entries, const SqzCaptureOptions& options = {})
    {
        Write(entries);
        const std::string message = ErrorOf([&] { CqzSrImporter(options).ImportFile(m_path); });
        EXPECT_TRUE(CqzLabelMgr::Instance().GetLabels().empty()) << message;
        EXPECT_EQ(message.rfind(m_path + ":", 0), 0u) << message;
        return message.substr(std::min(message.size(), m_path.size() + 1));
    }

    std::string m_path;
    std::unique_ptr<CqzData> m_data;
};
} // namespace

TEST_F(SrTest, ThreeByteSamplesSplitAcrossChunks)
{
    // 3 MHz: sample n at n * 333333.33 ps, rounded down. Channels 0..17; probe 18 is unnamed.
    const std::string device =
        "total probes=18\nsamplerate=3 MHz\nunitsize=3\nprobe1=A\nprobe17=17\n";
    const auto& t = Import({{"version", "2"},
                            {"metadata", Metadata(device)},
                            {"logic-1-1", Bytes({1, 0, 0, 1, 0})},
                            {"logic-1-2", Bytes({0, 0, 0, 0, 0x00, 0x00, 0x03})},
                            {"logic-1-3", Bytes({0, 0, 3})}});
    const std::vector<std::string> names = Names(t);
    ASSERT_EQ(names.size(), 18u);
    EXPECT_EQ(names[0], "A");
    EXPECT_EQ(names[16], "D17");
    EXPECT_EQ(names[17], "D17_2");
    // Samples: 0x000001, 0x000001, 0x000000, 0x030000, 0x030000 -> rows at 0, 2, 3, and 4
    // (the last sample, unchanged).
    ASSERT_EQ(t.GetRowCount(), 4);
    EXPECT_EQ(TimeAt(t, 1), 666666);
    EXPECT_EQ(Value(t, "A", 1), 0u);
    EXPECT_EQ(TimeAt(t, 2), 1000000);
    EXPECT_EQ(Value(t, "D17", 2), 1u);
    EXPECT_EQ(Value(t, "D17_2", 2), 1u);
    EXPECT_EQ(TimeAt(t, 3), 1333333);
}

TEST_F(SrTest, BusesFromOptionsAndFromIndexedNames)
{
    const std::string device = "total probes=6\nsamplerate=1 MHz\nunitsize=1\nprobe1=CLK\n"
                               "probe2=D[1]\nprobe3=D[0]\nprobe4=X[5]\nprobe5=X[7]\n";
    SqzCaptureOptions options;
    options.buses = {{"PAIR", {5, 0}}}; // bit 0 from channel 5, bit 1 from CLK
    const auto& t =
        Import({{"metadata", Metadata(device)}, {"logic-1", Bytes({0x01, 0x22, 0x04})}}, options);
    // D[0]/D[1] group into D; X[5], X[7] are not contiguous and stay single.
    EXPECT_EQ(Names(t), (std::vector<std::string>{"PAIR", "D", "X[5]", "X[7]"}));
    EXPECT_EQ(LabelOf(t, Column(t, "D"))->GetWidth(), 2);
    EXPECT_EQ(Value(t, "PAIR", 0), 2u);
    EXPECT_EQ(Value(t, "PAIR", 1), 1u);
    EXPECT_EQ(Value(t, "D", 1), 2u); // 0x22: channel 1 is D[1]
    EXPECT_EQ(Value(t, "D", 2), 1u);
}

TEST_F(SrTest, OneRowPerSampleOnRequest)
{
    SqzCaptureOptions options;
    options.rowPerSample = true;
    const auto& t =
        Import({{"metadata", Metadata("total probes=1\nsamplerate=1 kHz\nunitsize=1\n")},
                {"logic-1", Bytes({1, 1, 1, 0})}},
               options);
    ASSERT_EQ(t.GetRowCount(), 4);
    EXPECT_EQ(TimeAt(t, 2), 2000000000);
    EXPECT_EQ(TimeAt(t, 3), 3000000000);
    EXPECT_EQ(Value(t, "D0", 2), 1u);
    EXPECT_TRUE(t.GetTimeStore()->GetEntries().IsProgression()); // no memory for the times
}

struct BadSr
{
    Entries entries;
    std::string message;
};

class SrRefusalTest : public SrTest, public ::testing::WithParamInterface<BadSr>
{
};

TEST_P(SrRefusalTest, NamesEntryAndProblem)
{
    EXPECT_EQ(Refusal(GetParam().entries), GetParam().message);
}

const std::string kGood = "total probes=8\nsamplerate=1 MHz\n";

INSTANTIATE_TEST_SUITE_P(
    Malformed, SrRefusalTest,
    ::testing::Values(
        BadSr{{{"metadata", Metadata(kGood + "unitsize=0\n")}},
              "metadata:8: unitsize '0' is not 1 to 16 bytes"},
        BadSr{{{"metadata", Metadata(kGood + "unitsize=18446744073709551617\n")}},
              "metadata:8: unitsize '18446744073709551617' is not 1 to 16 bytes"},
        BadSr{{{"metadata", Metadata("total probes=9\nsamplerate=1 MHz\nunitsize=1\n")}},
              "metadata: 9 probes do not fit a unitsize of 1 bytes"},
        BadSr{{{"metadata", Metadata(kGood + "unitsize=1\nprobe9=x\n")}},
              "metadata: probe9 is beyond the 8 probes"},
        BadSr{{{"metadata", Metadata("unitsize=1\nsamplerate=fast\n")}},
              "metadata:7: samplerate 'fast' is not a rate such as '500 kHz'"},
        BadSr{{{"metadata", Metadata("unitsize=1\nsamplerate=2000 GHz\n")}},
              "metadata:7: samplerate '2000 GHz' is above 1 THz: samples closer than a "
              "picosecond cannot be told apart (times are kept in picoseconds)"},
        BadSr{{{"metadata", Metadata(kGood + "unitsize=2\n")}, {"logic-1-1", Bytes({1, 2, 3})}},
              "logic-1-1: the data ends inside a sample (1 of 2 bytes)"},
        BadSr{{{"metadata", Metadata(kGood + "unitsize=1\n")}},
              "logic-1: the logic data named by the metadata is not in the archive"},
        BadSr{{{"logic-1", "x"}}, "metadata: no such entry in the archive"},
        BadSr{{{"metadata", Metadata(kGood + "unitsize=1\n")},
               {"logic-1-1", "x"},
               {"logic-1-3", "y"}},
              "logic-1-2: this chunk of the logic data is missing (the archive has 2 of the "
              "chunks 1 to 3)"},
        BadSr{{{"metadata", Metadata("samplerate=1 MHz\nunitsize=1\nanalog1=A\x1b"
                                     "0\n")}},
              "metadata: the session holds only analog channels (A\\x1b0), which are not "
              "imported"},
        BadSr{{{"version", "3"}},
              "version: session format version '3' is not supported (1 and 2 "
              "are)"}));

TEST_F(SrTest, AnalogChannelsAreSkippedWithANoteEachAndNamesAreEscaped)
{
    std::vector<std::string> notes;
    SqzCaptureOptions options;
    options.note = [&](const std::string& note) { notes.push_back(note); };
    const auto& t = Import(
        {{"metadata", Metadata(kGood + "unitsize=1\nprobe1=\x1b[2JA\nanalog9=Vin\nanalog10=\n")},
         {"logic-1", "x"}},
        options);
    EXPECT_EQ(Names(t).size(), 8u);
    EXPECT_EQ(Names(t)[0], "\\x1b[2JA"); // a probe name never reaches a terminal raw
    EXPECT_EQ(notes,
              (std::vector<std::string>{
                  m_path + ": analog channel 'Vin' skipped (analog channels are not imported)",
                  m_path + ": analog channel 'analog10' skipped (analog channels are not "
                           "imported)"}));
}

// More probes than a sample holds: the named probes load, with a note; so does an entry that
// looks like a chunk but is none.
TEST_F(SrTest, NamedProbesLoadWhenTheTotalExceedsTheSample)
{
    std::vector<std::string> notes;
    SqzCaptureOptions options;
    options.note = [&](const std::string& note) { notes.push_back(note); };
    const auto& t = Import({{"metadata", Metadata("total probes=16\nsamplerate=1 MHz\n"
                                                  "unitsize=1\nprobe1=A\nprobe2=B\n")},
                            {"logic-1-1", Bytes({2, 3})},
                            {"logic-1-0", Bytes({1})}},
                           options);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(Value(t, "B", 0), 1u);
    EXPECT_EQ(notes, (std::vector<std::string>{
                         m_path + ": the session says 16 probes but a sample holds 8 (unitsize "
                                  "1); the 2 named probes are loaded",
                         m_path + ": entry 'logic-1-0' is not a chunk of the logic data (chunks "
                                  "are numbered from 1); ignored"}));
}

// One-bit channels take a bit a row; the times of a rate whose period is whole picoseconds
// take no memory, others 8 bytes a row.
TEST_F(SrTest, RowPerSampleIsRefusedWithItsFigureBeforeReading)
{
    SqzCaptureOptions options;
    options.rowPerSample = true;
    options.memoryLimit = 4096;
    const std::pair<std::string, std::string> cases[] = {{"1 MHz", "18.8 KiB"},
                                                         {"3 MHz", "96.9 KiB"}};
    for (const auto& [rate, figure] : cases)
    {
        const std::string device = "total probes=8\nsamplerate=" + rate + "\nunitsize=1\n";
        const std::string message = Refusal(
            {{"metadata", Metadata(device)}, {"logic-1", std::string(10000, 'x')}}, options);
        EXPECT_EQ(message, " the capture needs about " + figure +
                               " of memory for 10000 rows of 9 labels; 4.0 KiB are allowed by "
                               "the memory limit");
    }
}

TEST_F(SrTest, BusOptionsAreChecked)
{
    SqzCaptureOptions options;
    options.buses = {{"B", {0, 8}}};
    const Entries entries = {{"metadata", Metadata(kGood + "unitsize=1\n")}, {"logic-1", "x"}};
    EXPECT_EQ(Refusal(entries, options),
              " bus B: channel 8 does not exist (the capture has channels 0 to 7)");
    options.buses = {{"B", {1}}, {"C", {1}}};
    EXPECT_EQ(Refusal(entries, options), " bus C: channel 1 is already part of a bus");
}

TEST_F(SrTest, TextThatIsNotAnArchiveIsRefused)
{
    std::FILE* f = std::fopen(m_path.c_str(), "wb");
    std::fputs("not a zip", f);
    std::fclose(f);
    const std::string message = ErrorOf([&] { CqzSrImporter().ImportFile(m_path); });
    EXPECT_EQ(message.rfind(m_path + ": cannot open as a session archive", 0), 0u) << message;
}

namespace
{
// Makes the archive at `path` declare `size` uncompressed bytes for `entry`, in its local
// header and in the central directory, as an archive made to pass size checks would.
void Declare(const std::string& path, const std::string& entry, std::uint32_t size)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const auto patch = [&](const char* signature, std::size_t sizeAt, std::size_t nameAt)
    {
        for (std::size_t at = 0; (at = bytes.find(signature, at, 4)) != std::string::npos; ++at)
            if (bytes.compare(at + nameAt, entry.size(), entry) == 0)
                std::memcpy(&bytes[at + sizeAt], &size, 4); // little-endian, as the format
    };
    patch("PK\x03\x04", 22, 30);
    patch("PK\x01\x02", 24, 46);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
} // namespace

// An archive is held to the sizes it declares: samples that would pass the memory limit are
// refused before a byte is inflated, and an entry that declares fewer bytes than it holds is
// refused once it inflates past them, with no more read than that.
TEST_F(SrTest, ArchivesAreHeldToTheSizesTheyDeclare)
{
    const Entries entries = {
        {"metadata", Metadata("total probes=8\nsamplerate=1 MHz\nunitsize=1\n")},
        {"logic-1", std::string(16 << 20, '\0')}};
    std::uint64_t inflated = 0;
    SqzCaptureOptions options;
    options.rowPerSample = true;
    options.memoryLimit = 1 << 20;
    options.progress = [&](std::uint64_t done, std::uint64_t) { inflated = done; };
    const struct
    {
        std::uint32_t declared; // 0: as written
        std::string refusal;
        std::uint64_t inflated;
    } cases[] = {
        {0, " the capture needs about 16.0 MiB of memory for 16777216 rows of 9 labels", 0},
        {1000, ":logic-1: the entry inflates to more than the 1000 bytes it declares", 0}};
    for (const auto& c : cases)
    {
        Write(entries);
        if (c.declared != 0)
            Declare(m_path, "logic-1", c.declared);
        const std::string message = ErrorOf([&] { CqzSrImporter(options).ImportFile(m_path); });
        EXPECT_NE(message.find(c.refusal), std::string::npos) << message;
        EXPECT_EQ(inflated, c.inflated);
    }
}

// Runs of samples that each change (longer than a group of 64 and than a batch) between
// stretches without change: each change is a row at its sample's time, in one chunk stored
// and in chunks compressed; a stored chunk with a byte changed is refused.
TEST_F(SrTest, RunsOfChangesBetweenStretchesWithoutChange)
{
    std::string samples;
    for (int i = 0; i < 9000; ++i)
        samples += static_cast<char>(i / 2500 % 2 ? i / 2500 : i % 251);
    std::vector<std::int64_t> expected; // each row's sample and value
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (i == 0 || samples[i] != samples[i - 1] || i + 1 == samples.size())
            expected.insert(expected.end(),
                            {static_cast<std::int64_t>(i), static_cast<unsigned char>(samples[i])});
    const std::string meta = Metadata("total probes=8\nsamplerate=1 MHz\nunitsize=1\n");
    for (const bool stored : {true, false})
    {
        CqzLabelMgr::Instance().Reset();
        m_data.reset();
        Write(stored ? Entries{{"metadata", meta}, {"logic-1", samples}}
                     : Entries{{"metadata", meta},
                               {"logic-1-1", samples.substr(0, 4100)},
                               {"logic-1-2", samples.substr(4100)}},
              stored);
        m_data = CqzSrImporter().ImportFile(m_path);
        const CqzDataTable& t = *m_data->GetTable(0);
        std::vector<std::int64_t> got;
        for (std::int64_t row = 0; row < t.GetRowCount(); ++row)
        {
            std::int64_t value = 0;
            for (int bit = 0; bit < 8; ++bit)
                value |= static_cast<std::int64_t>(Value(t, "D" + std::to_string(bit), row)) << bit;
            got.insert(got.end(), {TimeAt(t, row) / 1000000, value});
        }
        EXPECT_EQ(got, expected) << (stored ? "stored" : "compressed");
    }
    m_data.reset();
    // A changed byte of the stored chunk, inside it or its last, is refused.
    for (const std::size_t at : {3000, 8999})
    {
        CqzLabelMgr::Instance().Reset();
        Write({{"metadata", meta}, {"logic-1", samples}}, true);
        {
            std::fstream file(m_path, std::ios::binary | std::ios::in | std::ios::out);
            const std::string bytes((std::istreambuf_iterator<char>(file)), {});
            file.seekp(static_cast<std::streamoff>(bytes.find(samples.substr(0, 64)) + at));
            file.put(static_cast<char>(samples[at] ^ 4));
        }
        const std::string message = ErrorOf([&] { CqzSrImporter().ImportFile(m_path); });
        EXPECT_NE(message.find(":logic-1: cannot read: CRC error"), std::string::npos)
            << "byte " << at << ": " << message;
    }
    // And one that declares a byte more than it holds.
    CqzLabelMgr::Instance().Reset();
    Write({{"metadata", meta}, {"logic-1", samples}}, true);
    Declare(m_path, "logic-1", 9001);
    const std::string message = ErrorOf([&] { CqzSrImporter().ImportFile(m_path); });
    EXPECT_NE(message.find(":logic-1: "), std::string::npos) << message;
}
