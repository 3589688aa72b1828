// Protocol decoding against sigrok-cli on the shared real captures (SPI, I2C, UART): the decoded
// table holds the annotations sigrok-cli prints, at the same sample positions with the same
// texts; a term on a decoded value counts, through the built program and the plug-in, what
// sigrok-cli's output counts; and the mistakes a person can make are refused naming the
// decoder.

#include "CqzDecodeRunner.h"
#include "capture/CqzCaptureLoader.h"
#include "common/ShellRun.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace
{

std::string Capture(const std::string& name)
{
    return std::string(QZ_SHARED_DIR) + "/captures/" + name;
}

using SqzRun = SqzShellRun;

// Runs a shell command; standard error joins standard output.
SqzRun Shell(const std::string& command)
{
    return RunShell(command + " 2>&1");
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

struct SqzDecodeCase
{
    const char* name;
    const char* capture;
    const char* decode; // ours: channels by label name
    const char* sigrok; // sigrok-cli's -P: channels by its names
    const char* table;
    const char* term;
    const char* dataClass; // the class a term's value lives in
    const char* value;     // the value of the term, as the annotation text ends
};

const SqzDecodeCase Cases[] = {
    {"Spi", "spi_atmega32_00.sr", "spi:clk=D2:mosi=D1:cs=D0", "spi:clk=2:mosi=1:cs=0", "spi",
     "spi.mosi == 0xE0", "mosi-data", "E0"},
    {"I2c", "tca6408a.sr", "i2c:scl=SCL:sda=SDA", "i2c:scl=SCL:sda=SDA", "i2c", "i2c.data == 0x01",
     "data-write:data-read", "01"},
    {"Uart", "hello_world_8n1_115200.sr", "uart:rx=TX:baudrate=115200",
     "uart:rx=TX:baudrate=115200", "uart", "uart.rx == 0x0a", "rx-data", "0A"},
};

class DecodeTest : public ::testing::TestWithParam<SqzDecodeCase>
{
protected:
    // sigrok-cli's annotations of the case's decoder as "start-end text".
    static std::vector<std::string> SigrokAnnotations(const SqzDecodeCase& c,
                                                      const std::string& classes = "")
    {
        const SqzRun run =
            Shell("sigrok-cli -i '" + Capture(c.capture) + "' -P " + c.sigrok + " -A " + c.table +
                  (classes.empty() ? "" : "=" + classes) + " --protocol-decoder-samplenum");
        EXPECT_EQ(run.code, 0) << run.out;
        static const std::regex line(R"((\d+)-(\d+) [\w-]+: (.*))");
        std::vector<std::string> annotations;
        for (const std::string& text : Lines(run.out))
        {
            std::smatch m;
            EXPECT_TRUE(std::regex_match(text, m, line)) << text;
            annotations.push_back(m[1].str() + "-" + m[2].str() + " " + m[3].str());
        }
        return annotations;
    }

    // The decoded table's rows as "start-end text", read through the labels a term names.
    static std::vector<std::string> OurAnnotations(const SqzDecodeCase& c)
    {
        SqzCaptureOptions options;
        SqzDecodeRequest request;
        options.samplerate = [&request](std::uint64_t rate) { request.captureRate = rate; };
        const std::unique_ptr<CqzData> data = CqzCaptureLoader::Load(Capture(c.capture), options);
        request.stacks = {c.decode};
        EXPECT_EQ(CqzDecodeRunner::Run(*data, request), std::vector<std::string>{c.table});
        const CqzDataTable& table = *data->GetTable(1);
        const auto column = [&](const char* suffix)
        {
            const CqzLabel* label = CqzLabelMgr::Instance().NameToLabel(
                CString::FromUtf8(std::string(c.table) + "." + suffix));
            return label ? table.FindColumn(label->GetLabelID()) : -1;
        };
        const int start = column("start"), end = column("end"), text = column("text");
        EXPECT_TRUE(start >= 0 && end >= 0 && text >= 0);
        std::vector<std::string> rows;
        for (std::int64_t row = 0; row < table.GetRowCount(); ++row)
        {
            CqzUInt first, last;
            CString words;
            table.GetSample(start, row, first);
            table.GetSample(end, row, last);
            table.GetSample(text, row, words);
            rows.push_back(std::to_string(first.GetLow()) + "-" + std::to_string(last.GetLow()) +
                           " " + words.ToUtf8());
        }
        return rows;
    }
};

TEST_P(DecodeTest, TableHoldsWhatSigrokPrints)
{
    std::vector<std::string> expected = SigrokAnnotations(GetParam());
    std::vector<std::string> ours = OurAnnotations(GetParam());
    ASSERT_GT(expected.size(), 100u);
    std::sort(expected.begin(), expected.end());
    std::sort(ours.begin(), ours.end());
    ASSERT_EQ(ours.size(), expected.size());
    const auto differ = std::mismatch(ours.begin(), ours.end(), expected.begin());
    EXPECT_TRUE(differ.first == ours.end())
        << "ours: " << *differ.first << "\nsigrok-cli: " << *differ.second;
}

TEST_P(DecodeTest, TermCountsWhatSigrokPrints)
{
    const SqzDecodeCase& c = GetParam();
    const std::vector<std::string> data = SigrokAnnotations(c, c.dataClass);
    const auto expected = std::count_if(data.begin(), data.end(),
                                        [&](const std::string& line)
                                        { return line.ends_with(std::string(" ") + c.value); });
    ASSERT_GT(expected, 0);
    const SqzRun run =
        Shell(std::string("'") + QZ_HOST_PROGRAM + "' -q --no-progress --decode " + c.decode +
              " --color red '" + c.term + "' '" + Capture(c.capture) + "'");
    ASSERT_EQ(run.code, 0) << run.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(run.out, m, std::regex(R"(1\. .*\): (\d+) coloured)")))
        << run.out;
    EXPECT_EQ(std::stol(m[1].str()), expected) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Captures, DecodeTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

struct SqzRefusal
{
    const char* decode;
    const char* rate;
    const char* message;
    const char* environment = ""; // "NAME=value " before the program
};

// Each mistake: exit code 2 and a message that names the decoder and what is wrong.
TEST(DecodeRefusalTest, MistakesAreNamed)
{
    const SqzRefusal refusals[] = {
        {"nosuch:clk=D2", "", "unknown decoder 'nosuch'"},
        {"spi:mosi=D1", "", "decoder 'spi': the channel 'clk' is required"},
        {"spi:clk=D2:cpol=7", "", "decoder 'spi': option cpol=7: allowed are 0, 1"},
        {"spi:clk=D2:wordsize=eight", "", "decoder 'spi': option wordsize=eight: not a whole"},
        {"spi:clk=D2:speed=3", "", "decoder 'spi': no channel or option 'speed'"},
        {"spi:clk=D9", "", "decoder 'spi': the capture has no one-bit label 'D9'"},
        {"spi:clk=D2,uart", "", "decoder 'uart': cannot be stacked on 'spi'"},
        {"spi:clk=D2", "1G", "more than the bound of 1000000000 samples"},
        {"uart:rx=D1:baudrate=0", "",
         "decoder 'uart': does not start (Python API error): "
         "ZeroDivisionError"},
        {"spi:clk=D2:mosi=D1:wordsize=0", "",
         "decoder 'spi': stopped with an error at sample 0: "
         "ValueError"},
        // The capture fits the limit, its decoded table does not.
        {"spi:clk=D2:mosi=D1:cs=D0", "",
         "decoding: the decoded table 'spi' needs about 9.1 MiB of memory for 63540 rows, "
         "besides about ",
         "QZFILTER_MEMORY_LIMIT=3M "},
    };
    for (const SqzRefusal& refusal : refusals)
    {
        const SqzRun run =
            Shell(std::string(refusal.environment) + "'" + QZ_HOST_PROGRAM + "' -q --decode '" +
                  refusal.decode + "'" +
                  (*refusal.rate ? std::string(" --decode-rate ") + refusal.rate : "") + " '" +
                  Capture("spi_atmega32_00.sr") + "'");
        EXPECT_EQ(run.code, 2) << refusal.decode << "\n" << run.out;
        EXPECT_NE(run.out.find(refusal.message), std::string::npos) << run.out;
    }
}

} // namespace
