// The value change dump read in pieces on worker threads against the plain path (one thread,
// word by word; QZ_CAPTURE_PLAIN): the same table, value by value, and the same refusals, on
// the shared dumps and on generated ones with x and z digits, texts, comments, CRLF, long
// words and buses of 1 to 128 bits, cut into small pieces.

#include "CaptureTestUtil.h"
#include "capture/CqzVcdImporter.h"

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

Reading Read(const std::string& text, bool plain, std::size_t block)
{
    if (plain)
        setenv("QZ_CAPTURE_PLAIN", "1", 1);
    else
        unsetenv("QZ_CAPTURE_PLAIN");
    SqzCaptureOptions options;
    options.readBlockBytes = block;
    Reading r;
    try
    {
        const std::unique_ptr<CqzData> data = CqzVcdImporter(options).ImportText(text, "d.vcd");
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

void ExpectSame(const std::string& text, const std::string& what)
{
    const Reading plain = Read(text, true, std::size_t{1} << 20);
    for (std::size_t block : {std::size_t{16}, std::size_t{61}, std::size_t{1000}, std::size_t{1} << 20})
    {
        const Reading pieces = Read(text, false, block);
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
    std::int64_t time = 0;
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

class CaptureParallelTest : public ::testing::Test
{
protected:
    void SetUp() override { CqzLabelMgr::Instance().Reset(); }
};
} // namespace

TEST_F(CaptureParallelTest, SharedDumpsReadTheSameInPieces)
{
    for (const char* name : {"chronovu_la8_spiflash_read16.vcd", "vectors-integers.vcd"})
    {
        std::ifstream in(std::string(QZ_SHARED_DIR) + "/captures/" + name, std::ios::binary);
        ExpectSame(std::string(std::istreambuf_iterator<char>(in), {}), name);
    }
}

TEST_F(CaptureParallelTest, GeneratedDumpsReadTheSameInPieces)
{
    for (std::uint32_t seed = 1; seed <= 40; ++seed)
        ExpectSame(RandomDump(seed, seed % 4 == 0), "seed " + std::to_string(seed));
}
