// FST import against the value change dump importer: FST files are made from dumps by the
// waveform viewer's vcd2fst, and read back independently by its fst2vcd. Both tools come from
// the gtkwave package; the tests skip without them.

#include "CaptureTestUtil.h"
#include "CqzSampleGenerator.h"
#include "capture/CqzCaptureLoader.h"
#include "capture/CqzFstImporter.h"
#include "capture/CqzVcdImporter.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace capture_test;
namespace fs = std::filesystem;

namespace
{
// A dump with what the comparison must cover: scopes, an alias, a bit select, vectors with
// x and z digits, an integer, a real, a string, a timescale finer than a picosecond step.
const char* kMixedDump = R"($timescale 100 fs $end
$scope module tb $end
$var wire 1 ! clk $end
$scope module dut $end
$var wire 1 ! clk $end
$var wire 8 " bus [7:0] $end
$var wire 1 # flag [3] $end
$var integer 32 $ count $end
$var real 64 % level $end
$var wire 130 & wide $end
$var string 1 ' state $end
$upscope $end
$upscope $end
$enddefinitions $end
#0
$dumpvars
x!
bzzzz0101 "
z#
b0 $
r0 %
b1x0 &
sidle '
$end
#20
1!
b1x1 "
1#
b1010 $
r-1.25 %
sbusy '
#30
0!
b11111111 "
b1 &
#70
)";

std::string Shell(const std::string& command)
{
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0 ? ""
                                                                         : "failed: " + command;
}

// Every value of a table as text, row by row: time, then name=status:value/x-digits/z-digits.
std::vector<std::string> Rows(const CqzDataTable& t)
{
    std::vector<std::string> rows;
    const std::vector<std::string> names = Names(t);
    for (std::int64_t r = 0; r < t.GetRowCount(); ++r)
    {
        std::ostringstream row;
        row << TimeAt(t, r);
        for (const std::string& name : names)
        {
            const Sample s = At(t, name, r);
            CqzUInt x, z;
            t.GetUnknownDigits(Column(t, name), r, x, z);
            row << ' ' << name << '=' << s.status << ':' << s.text << std::hex
                << s.value.GetHigh() << '.' << s.value.GetLow() << '/' << x.GetLow() << '/'
                << z.GetLow() << std::dec;
        }
        rows.push_back(row.str());
    }
    return rows;
}

class FstTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Shell("command -v vcd2fst && command -v fst2vcd").empty())
            GTEST_SKIP() << "vcd2fst and fst2vcd (package gtkwave) are not installed";
        CqzLabelMgr::Instance().Reset();
        m_dir = fs::temp_directory_path() / ("fst_test_" + std::to_string(getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Path(const std::string& name) const { return (m_dir / name).string(); }

    std::string WriteVcd(const std::string& name, const std::string& text) const
    {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    std::string ToFst(const std::string& vcd) const
    {
        const std::string fst = Path(fs::path(vcd).stem().string() + ".fst");
        EXPECT_EQ(Shell("vcd2fst '" + vcd + "' '" + fst + "'"), "");
        return fst;
    }

    // The rows of an import, or "refused" (the dump at 1 fs has times between picoseconds).
    std::vector<std::string> Import(const std::function<std::unique_ptr<CqzData>()>& import)
    {
        CqzLabelMgr::Instance().Reset();
        std::vector<std::string> rows{"refused"};
        ErrorOf([&] { rows = Rows(*import()->GetTable(0)); });
        return rows;
    }

    // The FST made from `vcd` imports as fst2vcd's reading of it does, and, when vcd2fst
    // keeps all of it, as `vcd` does (it drops values given before the first timestamp).
    void ExpectSameAsVcd(const std::string& vcd, bool kept = true)
    {
        const std::string fst = ToFst(vcd);
        const auto viaFst = Import([&] { return CqzFstImporter().ImportFile(fst); });
        if (kept)
        {
            EXPECT_EQ(viaFst, Import([&] { return CqzVcdImporter().ImportFile(vcd); })) << vcd;
        }
        const std::string back = Path("back.vcd");
        ASSERT_EQ(Shell("fst2vcd -f '" + fst + "' -o '" + back + "'"), "");
        EXPECT_EQ(viaFst, Import([&] { return CqzVcdImporter().ImportFile(back); })) << vcd;
    }

    fs::path m_dir;
};

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST_F(FstTest, DumpsImportAsTheirValueChangeDumps)
{
    ExpectSameAsVcd(WriteVcd("mixed.vcd", kMixedDump));
    const std::string fixtures = std::string(QZ_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_vcd/";
    ExpectSameAsVcd(fixtures + "flat.vcd");
    ExpectSameAsVcd(fixtures + "scopes.vcd", false);
    for (const char* shared : {"chronovu_la8_spiflash_read16.vcd", "vectors-integers.vcd"})
        if (const std::string path = std::string(QZ_SHARED_DIR) + "/captures/" + shared;
            fs::exists(path))
            ExpectSameAsVcd(path);
    std::ofstream sample(Path("sample.vcd"), std::ios::binary);
    CqzSampleGenerator(20000).Write(sample);
    sample.close();
    ExpectSameAsVcd(Path("sample.vcd"));
}

TEST_F(FstTest, LoaderFindsFstByExtensionAndContentAndLeavesNoFiles)
{
    const std::string fst = ToFst(WriteVcd("mixed.vcd", kMixedDump));
    fs::copy_file(fst, Path("renamed.dat"));
    EXPECT_EQ(CqzCaptureLoader::DetectFormat(fst), eqzCaptureFst);
    EXPECT_EQ(CqzCaptureLoader::DetectFormat(Path("renamed.dat")), eqzCaptureFst);
    std::vector<std::string> notes;
    SqzCaptureOptions options;
    options.note = [&](const std::string& note) { notes.push_back(note); };
    const auto data = CqzCaptureLoader::Load(Path("renamed.dat"), options);
    EXPECT_EQ(data->GetTable(0)->GetRowCount(), 4);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("dut.wide is 130 bits wide; skipped"), std::string::npos) << notes[0];
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 3);
}

// The reader's heap in its child is held to the import's memory limit.
TEST_F(FstTest, ReaderAskingForMoreThanTheMemoryLimitIsRefused)
{
    const std::string fst = ToFst(WriteVcd("mixed.vcd", kMixedDump));
    SqzCaptureOptions options;
    options.memoryLimit = 64 << 10;
    const std::string message = ErrorOf([&] { CqzCaptureLoader::Load(fst, options); });
    EXPECT_NE(message.find("the FST reader asks for more memory than it may take"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("64.0 KiB are allowed by the memory limit"), std::string::npos)
        << message;
}

struct Damage
{
    const char* what;
    std::function<std::string(std::string)> make; // the damaged bytes from good ones
    const char* reason;                            // part of the refusal
};

class FstRefusalTest : public FstTest, public ::testing::WithParamInterface<Damage>
{
};

// Each damage is refused with a message naming the file, never a crash or an exit.
TEST_P(FstRefusalTest, DamagedFilesAreRefused)
{
    const std::string good = Bytes(ToFst(WriteVcd("mixed.vcd", kMixedDump)));
    const std::string bad = Path("bad.fst");
    std::ofstream(bad, std::ios::binary) << GetParam().make(good);
    const std::string message = ErrorOf([&] { CqzCaptureLoader::Load(bad); });
    EXPECT_EQ(message.rfind(bad + ": ", 0), 0u) << message;
    EXPECT_NE(message.find(GetParam().reason), std::string::npos) << message;
    EXPECT_TRUE(CqzLabelMgr::Instance().GetLabels().empty());
}

std::string Flip(std::string bytes, std::size_t at)
{
    bytes[at] = static_cast<char>(~bytes[at]);
    return bytes;
}

std::uint64_t BigEndian(const std::string& bytes, std::size_t at)
{
    std::uint64_t value = 0;
    for (std::size_t i = at; i < at + 8; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

// The last byte of the time table of the first value change block (at 330), before the
// block's 24-byte trailer (the table's unpacked and packed lengths and its count).
std::size_t TimeTableEnd(const std::string& bytes)
{
    return 330 + 1 + BigEndian(bytes, 331) - 24 - 1;
}

// The first block's index of value chains, said to be 16 MiB long (its length is the 8 bytes
// before the packed time table).
std::string LongChainIndex(std::string bytes)
{
    const std::size_t trailer = TimeTableEnd(bytes) + 1;
    bytes[trailer - BigEndian(bytes, trailer + 8) - 8 + 5] = '\xff';
    return bytes;
}

// A file the fuzzer found (its first byte picks the fuzzer's options).
std::string FuzzFinding(const char* name)
{
    return Bytes(std::string(QZ_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_fst/" + name).substr(1);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, FstRefusalTest,
    ::testing::Values(
        Damage{"empty", [](std::string) { return std::string(); }, "empty"},
        Damage{"text", [](std::string) { return std::string("$date today $end\n"); },
               "not an FST file"},
        Damage{"cut", [](std::string b) { return b.substr(0, b.size() - 40); }, "beyond"},
        Damage{"header_cut", [](std::string b) { return b.substr(0, 200); }, "header"},
        Damage{"header_length", [](std::string b) { return Flip(b, 8); }, "not an FST"},
        Damage{"endian", [](std::string b) { return Flip(b, 30); }, "byte order"},
        Damage{"block_length", [](std::string b) { return Flip(b, 331); }, "beyond"},
        Damage{"block_type", [](std::string b) { return Flip(b, 330); }, "block type"},
        Damage{"values", [](std::string b) { return Flip(b, 400); }, "binary value"},
        Damage{"packed", [](std::string b) { return Flip(b, 365); }, "damaged FST data: the FST reader"},
        Damage{"time_table", [](std::string b) { return Flip(b, TimeTableEnd(b)); }, "time table"},
        Damage{"chain_index", LongChainIndex, "runs past the end of its data"},
        Damage{"name_past_hierarchy",
               [](std::string) { return FuzzFinding("name-runs-past-hierarchy"); },
               "runs past the end of its data"},
        // The reader would loop for ever on these: a name that never ends, and an unfinished
        // block whose length brings the reader back to where it was.
        Damage{"hierarchy", [](std::string b) { return Flip(b, b.size() - 1); }, "hierarchy"},
        Damage{"unfinished", [](std::string b) { return b + std::string(9, '\xff'); },
               "past any file offset"}),
    [](const auto& info) { return std::string(info.param.what); });
