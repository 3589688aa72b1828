// Value change dumps, CSV files and session archives read in pieces on worker threads against
// the plain path (one thread, word by word, line by line or block by block; QZ_CAPTURE_PLAIN):
// the same table, value by value, and the same refusals, on the shared captures and on
// generated ones with x and z digits, texts, comments, CRLF, long words or lines, values of 1
// to 128 bits, cut into small pieces, and archives of samples of 1 to 16 bytes in chunks.

#include "CaptureTestUtil.h"
#include "CaptureUnitTest.h"
#include "capture/CqzCsvImporter.h"
#include "capture/CqzSrImporter.h"
#include "capture/CqzVcdImporter.h"

#include <zip.h>

#include <filesystem>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

using namespace capture_test;

namespace
{
struct Reading
{
    std::string error;
    std::vector<std::string> cells; // every line's time and every column's sample, as text
};

std::string Cell(const CqzDataTable& table, int column, std::int64_t line)
{
    const CqzLabel* label = LabelOf(table, column);
    CqzUInt value, unknown, floating;
    CString text;
    const int status = label && label->IsType(eqzLabelString) ? table.GetSample(column, line, text)
                                                              : table.GetSample(column, line, value);
    std::ostringstream out;
    out << status << ' ' << value.GetHigh() << ':' << value.GetLow() << ' ' << text.ToUtf8();
    if (table.GetUnknownDigits(column, line, unknown, floating))
        out << " x" << unknown.GetLow() << ':' << unknown.GetHigh() << " z" << floating.GetLow()
            << ':' << floating.GetHigh();
    return out.str();
}

using Import = std::unique_ptr<CqzData> (*)(const SqzCaptureOptions&, const std::string&);

std::unique_ptr<CqzData> ImportVcd(const SqzCaptureOptions& options, const std::string& text)
{
    return CqzVcdImporter(options).ImportText(text, "d.vcd");
}

std::unique_ptr<CqzData> ImportCsv(const SqzCaptureOptions& options, const std::string& text)
{
    return CqzCsvImporter(options).ImportText(text, "d.csv");
}

std::unique_ptr<CqzData> ImportSr(const SqzCaptureOptions& options, const std::string& bytes)
{
    return CqzSrImporter(options).ImportBuffer(bytes.data(), bytes.size(), "d.sr");
}

std::unique_ptr<CqzData> ImportSrEvery(const SqzCaptureOptions& options, const std::string& bytes)
{
    SqzCaptureOptions every = options;
    every.rowPerSample = true;
    return ImportSr(every, bytes);
}

Reading Read(Import import, const std::string& text, bool plain, std::size_t block)
{
    if (plain)
        setenv("QZ_CAPTURE_PLAIN", "1", 1);
    else
        unsetenv("QZ_CAPTURE_PLAIN");
    SqzCaptureOptions options;
    options.readBlockBytes = block;
    options.maxLineBytes = 4096;
    Reading r;
    try
    {
        const std::unique_ptr<CqzData> data = import(options, text);
        const CqzDataTable& t = *data->GetTable(0);
        for (int c = 0; c < t.GetColumnCount(); ++c)
            r.cells.push_back(LabelOf(t, c)->GetName().ToUtf8());
        for (std::int64_t line = 0; line < t.GetLineCount(); ++line)
            for (int c = 0; c < t.GetColumnCount(); ++c)
                r.cells.push_back(Cell(t, c, line));
    }
    catch (const CqzCaptureError& e)
    {
        r.error = e.what();
    }
    unsetenv("QZ_CAPTURE_PLAIN");
    CqzLabelMgr::Instance().Reset();
    return r;
}

void ExpectSame(const std::string& text, const std::string& what, Import import = &ImportVcd)
{
    const Reading plain = Read(import, text, true, std::size_t{1} << 20);
    for (std::size_t block : {std::size_t{16}, std::size_t{61}, std::size_t{1000}, std::size_t{1} << 20})
    {
        const Reading pieces = Read(import, text, false, block);
        EXPECT_EQ(pieces.error, plain.error) << what << ", block " << block;
        ASSERT_EQ(pieces.cells.size(), plain.cells.size()) << what << ", block " << block;
        for (std::size_t i = 0; i < plain.cells.size(); ++i)
            ASSERT_EQ(pieces.cells[i], plain.cells[i]) << what << ", block " << block << ", cell " << i;
    }
}

// A dump of random variables and changes; `broken` puts one malformed word somewhere.
std::string RandomDump(std::uint32_t seed, bool broken)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* eol = pick(3) == 0 ? "\r\n" : "\n";
    std::vector<std::pair<std::string, int>> vars; // code, width (0: string)
    std::string out = std::string("$timescale 10 ps $end") + eol + "$scope module top $end" + eol;
    const int count = 1 + pick(12);
    for (int i = 0; i < count; ++i)
    {
        const std::string code = pick(4) == 0 ? "#" + std::to_string(i) : std::string(1, char('!' + i));
        const int width = pick(6) == 0 ? 0 : pick(3) == 0 ? 1 : 1 + pick(128);
        vars.emplace_back(code, width);
        out += width == 0 ? "$var string 1 " + code + " s" + std::to_string(i) + " $end"
                          : "$var wire " + std::to_string(width) + " " + code + " v" +
                                std::to_string(i) + " $end";
        out += eol;
    }
    out += std::string("$upscope $end") + eol + "$enddefinitions $end" + eol;
    // Times of 1 to 17 digits.
    std::int64_t time = pick(2) == 0 ? 0 : static_cast<std::int64_t>(rng()) << pick(25);
    const int steps = 50 + pick(400);
    const int breakAt = broken ? pick(steps) : -1;
    for (int step = 0; step < steps; ++step)
    {
        if (pick(20) != 0)
            time += pick(5);
        out += "#" + std::to_string(time) + (pick(10) == 0 ? " " : eol);
        if (pick(40) == 0)
            out += std::string("$comment a note #") + eol + "#99 $end" + eol;
        for (int change = pick(4); change > 0; --change)
        {
            const auto& [code, width] = vars[static_cast<std::size_t>(pick(count))];
            if (width == 0)
                out += "s" + std::to_string(pick(5)) + " " + code;
            else if (width == 1 && pick(2) == 0)
                out += std::string(1, "01xz"[pick(pick(8) == 0 ? 4 : 2)]) + code;
            else
            {
                std::string digits(pick(10) == 0 ? 300 : 1 + pick(width), '0');
                for (char& d : digits)
                    d = "01xzXZ"[pick(pick(16) == 0 ? 6 : 2)];
                if (digits.size() > static_cast<std::size_t>(width))
                    digits.replace(0, digits.size() - width, digits.size() - width, '0');
                out += "b" + digits + (pick(30) == 0 ? eol : std::string(pick(3) + 1, ' ')) + code;
            }
            out += step == breakAt && change == 1 ? " ?" : eol;
        }
    }
    return out;
}

// A CSV file of random columns (bits, binary, hexadecimal and wide hexadecimal buses, decimals,
// texts, quoted fields) with empty cells, x and z digits, blank lines and CRLF; `broken` puts
// one malformed line somewhere (an extra field, a time before the line above, a control byte,
// an open quote, a long line).
std::string RandomCsv(std::uint32_t seed, bool broken)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char sep = ",;\t"[pick(3)];
    const std::string eol = pick(3) == 0 ? "\r\n" : "\n";
    const bool timed = pick(5) != 0;
    std::string out = !timed || pick(3) == 0 ? "; Samplerate: 3 MHz" + eol : std::string();
    out += timed ? "Time [ns]" : "Index";
    const int count = 1 + pick(6);
    std::vector<int> kinds; // 0 bit, 1 binary, 2 hex, 3 wide hex, 4 decimal, 5 text
    for (int i = 0; i < count; ++i)
    {
        kinds.push_back(pick(6));
        out += std::string(1, sep) + "c" + std::to_string(i);
    }
    out += eol;
    auto digits = [&](int n, const char* alphabet, int letters)
    {
        std::string d;
        for (int k = 0; k < n; ++k)
            d += alphabet[pick(pick(20) == 0 ? letters : 2)];
        return d;
    };
    const int rows = 20 + pick(300);
    const int breakAt = broken ? pick(rows) : -1;
    std::int64_t time = 0;
    for (int row = 0; row < rows; ++row)
    {
        if (pick(25) == 0)
            out += (pick(2) ? " " : "") + eol;
        time += pick(4);
        std::string line = timed ? std::to_string(time) : std::to_string(row);
        for (int kind : kinds)
        {
            std::string cell;
            if (kind == 0)
                cell = digits(1, "01xz", 4);
            else if (kind == 1)
                cell = digits(6, "01xz", 4);
            else if (kind == 2)
                cell = "0x" + digits(1 + pick(8), "0a3fxz", 6);
            else if (kind == 3)
                cell = "0x" + digits(17 + pick(15), "0a3fxz", 6);
            else if (kind == 4)
                cell = (pick(4) == 0 ? "-" : "") + std::to_string(rng() % 100000);
            else
                cell = pick(4) == 0 ? "\"q" + std::string(1, sep) + "\"\"x\"" : "t" + std::to_string(pick(9));
            line += std::string(1, sep) + (pick(30) == 0 ? std::string() : cell);
        }
        if (row == breakAt)
        {
            const int how = pick(5);
            line = how == 0   ? line + sep + "extra"
                   : how == 1 ? "0" + line.substr(line.find(sep))
                   : how == 2 ? line + "\x01"
                   : how == 3 ? line + sep + "\"open"
                              : line + std::string(5000, ' ') + "x";
        }
        out += line + eol;
    }
    return out;
}

// An archive of these entries, as bytes.
std::string Archive(const std::vector<std::pair<std::string, std::string>>& entries)
{
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("capture_parallel_" + std::to_string(getpid()) + ".sr"))
                                 .string();
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : entries)
        zip_file_add(zip, name.c_str(), zip_source_buffer(zip, bytes.data(), bytes.size(), 0),
                     ZIP_FL_OVERWRITE);
    zip_close(zip);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(path);
    return bytes;
}

// A session archive of random samples (1 to 16 bytes, runs without change and changes, a bus
// of named channels) in 1 to 6 chunks of any size; `broken` drops the last byte (data that
// ends inside a sample) or a chunk.
std::string RandomSession(std::uint32_t seed, bool broken)
{
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int unit = 1 + pick(pick(3) == 0 ? 16 : 4);
    const int probes = 1 + pick(unit * 8);
    std::string meta = "[global]\nsigrok version=0.3.0\n\n[device 1]\ncapturefile=logic-1\n"
                       "total probes=" + std::to_string(probes) + "\nsamplerate=" +
                       (pick(2) ? "3 MHz" : "100 MHz") + "\nunitsize=" + std::to_string(unit) + "\n";
    for (int p = 1; p <= probes; ++p)
        meta += "probe" + std::to_string(p) + "=" +
                (p <= 4 && probes > 6 ? "A[" + std::to_string(p - 1) + "]" : "P" + std::to_string(p)) +
                "\n";
    std::string samples;
    std::string sample(static_cast<std::size_t>(unit), '\0');
    for (int n = 200 + pick(3000); n > 0; --n)
    {
        if (pick(4) == 0)
            sample[static_cast<std::size_t>(pick(unit))] = static_cast<char>(rng());
        samples += sample;
    }
    const int chunks = 1 + pick(6);
    std::vector<std::pair<std::string, std::string>> entries{{"version", "2"}, {"metadata", meta}};
    const bool whole = pick(4) != 0; // chunks of whole samples (read in pieces)
    std::size_t at = 0;
    for (int c = 1; at < samples.size(); ++c)
    {
        const std::size_t size = c == chunks ? samples.size() - at
                                             : std::min(samples.size() - at,
                                                        static_cast<std::size_t>(
                                                            whole ? unit * (1 + pick(900))
                                                                  : 1 + pick(2000)));
        entries.emplace_back("logic-1-" + std::to_string(c), samples.substr(at, size));
        at += size;
    }
    if (broken && entries.size() > 4 && pick(2))
        entries.erase(entries.begin() + 3);
    else if (broken)
        entries.back().second.pop_back();
    return Archive(entries);
}

class CaptureParallelTest : public ::testing::Test
{
protected:
    void SetUp() override { CqzLabelMgr::Instance().Reset(); }
};

// Generated dumps, whose pieces the workers read in each unit.
class VcdPiecesTest : public CaptureUnitTest
{
protected:
    void SetUp() override
    {
        CqzLabelMgr::Instance().Reset();
        CaptureUnitTest::SetUp();
    }
};
QZ_FOR_EVERY_CAPTURE_UNIT(VcdPiecesTest);
} // namespace

TEST_F(CaptureParallelTest, SharedDumpsReadTheSameInPieces)
{
    for (const char* name : {"chronovu_la8_spiflash_read16.vcd", "vectors-integers.vcd"})
    {
        std::ifstream in(std::string(QZ_SHARED_DIR) + "/captures/" + name, std::ios::binary);
        ExpectSame(std::string(std::istreambuf_iterator<char>(in), {}), name);
    }
}

TEST_P(VcdPiecesTest, GeneratedDumpsReadTheSameInPieces)
{
    for (std::uint32_t seed = 1; seed <= 40; ++seed)
        ExpectSame(RandomDump(seed, seed % 4 == 0), "seed " + std::to_string(seed));
}

// One-bit wires changed once, twice or not at each timestamp, so that a row's second change
// falls on every place in a word of 64 rows; timestamps of 1 to 4 digits, then of 14.
TEST_P(VcdPiecesTest, WiresChangedTwiceInARowReadTheSameInPieces)
{
    std::string dump = "$timescale 1 ns $end\n$var wire 1 ! a $end\n$var wire 1 \" b $end\n"
                       "$enddefinitions $end\n";
    for (int row = 0; row < 1500; ++row)
    {
        const std::int64_t time = row < 1000 ? row : 98765432100000 + row;
        dump += "#" + std::to_string(time) + "\n" + (row % 3 == 0 ? "1!\n0!\n" : "") +
                (row % 5 != 0 ? "0\"\n" : "") + (row % 7 == 0 ? "1\"\n" : "") + (row % 2 ? "1!\n" : "");
    }
    ExpectSame(dump, "wires changed twice");
}

// More one-bit wires than a word of 64 holds (codes of one and two characters), some first
// changed late in a piece, with a bus and a text among them and timestamps now and then
// repeated.
TEST_P(VcdPiecesTest, ManyWiresReadTheSameInPieces)
{
    std::mt19937 rng(5);
    std::string dump = "$timescale 1 ns $end\n$var wire 8 ~ bus $end\n$var string 1 } msg $end\n";
    std::vector<std::string> codes;
    for (int wire = 0; wire < 150; ++wire)
    {
        codes.push_back(wire < 90 ? std::string(1, char('!' + wire))
                                  : std::string(1, char('!' + wire - 90)) + "!");
        dump += "$var wire 1 " + codes.back() + " w" + std::to_string(wire) + " $end\n";
    }
    dump += "$enddefinitions $end\n";
    for (int row = 0, time = 0; row < 3000; ++row)
    {
        time += static_cast<int>(rng() % 4 != 0);
        dump += "#" + std::to_string(time) + "\n";
        for (unsigned change = rng() % 5; change > 0; --change)
        {
            const unsigned kind = rng() % 20;
            const std::size_t wire = rng() % (row < 1500 ? 100 : 150);
            dump += kind == 0   ? "b" + std::to_string(rng() % 2) + "101 ~\n"
                    : kind == 1 ? "sstate" + std::to_string(rng() % 3) + " }\n"
                                : std::to_string(rng() % 2) + codes[wire] + "\n";
        }
    }
    ExpectSame(dump, "many wires");
}

TEST_F(CaptureParallelTest, CsvFilesReadTheSameInPieces)
{
    for (const char* name : {"ikalogic_scanaplus_spiflash_read16.csv",
                             "usbee_sx_spiflash_read16_decode_hex.csv"})
    {
        std::ifstream in(std::string(QZ_SHARED_DIR) + "/captures/" + name, std::ios::binary);
        ExpectSame(std::string(std::istreambuf_iterator<char>(in), {}), name, &ImportCsv);
    }
    for (const char* name : {"comments.csv", "tabs.csv", "units.csv"})
    {
        std::ifstream in(std::string(QZ_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_csv/" + name,
                         std::ios::binary);
        ExpectSame(std::string(std::istreambuf_iterator<char>(in), {}), name, &ImportCsv);
    }
    for (std::uint32_t seed = 1; seed <= 60; ++seed)
        ExpectSame(RandomCsv(seed, seed % 3 == 0), "csv seed " + std::to_string(seed), &ImportCsv);
}

TEST_F(CaptureParallelTest, SessionArchivesReadTheSameInPieces)
{
    for (const char* name :
         {"hello_world_8n1_115200.sr", "spi_atmega32_00.sr", "tca6408a.sr"})
    {
        std::ifstream in(std::string(QZ_SHARED_DIR) + "/captures/" + name, std::ios::binary);
        ExpectSame(std::string(std::istreambuf_iterator<char>(in), {}), name, &ImportSr);
    }
    for (const char* name : {"chunks.sr", "single.sr"})
    {
        // The fuzz target's first byte picks options.
        std::ifstream in(std::string(QZ_SOURCE_DIR) + "/tests/fuzz/corpus/fuzz_sr/" + name,
                         std::ios::binary);
        ExpectSame(std::string(std::istreambuf_iterator<char>(in), {}).substr(1), name, &ImportSr);
    }
    for (std::uint32_t seed = 1; seed <= 40; ++seed)
    {
        const std::string archive = RandomSession(seed, seed % 5 == 0);
        ExpectSame(archive, "sr seed " + std::to_string(seed), seed % 3 ? &ImportSr : &ImportSrEvery);
    }
}
