// Runs the built qzfilter program: a capture with long hidden runs, terms whose fates are
// worked out here independently, the CSV export and the listing checked row by row, the setup
// and label printouts, a shared real capture against its expected listing, and the exit codes
// of bad usage.

#include "CqzSessionOpener.h"
#include "common/HostTestFiles.h"
#include "common/ShellRun.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

struct SqzRunResult
{
    int code = -1;
    std::string out;
    std::string err;
};

class HostProgramTest : public ::testing::Test
{
protected:
    // `environment`: "NAME=value" set for the run, or empty; `shell`: a command run first.
    SqzRunResult Run(const std::vector<std::string>& arguments, const std::string& environment = "",
                     const std::string& shell = "")
    {
        std::string command = shell +
                              (environment.empty() ? "" : "env " + ShellQuote(environment) + " ") +
                              ShellQuote(QZ_HOST_PROGRAM);
        for (const std::string& argument : arguments)
            command += " " + ShellQuote(argument);
        command += " 2>" + ShellQuote(folder.File("stderr.txt")) + " <" + ShellQuote(input);
        const SqzShellRun run = RunShell(command);
        SqzRunResult result{run.code, run.out, ""};
        result.err = ReadText(folder.File("stderr.txt"));
        return result;
    }

    HostTestFolder folder;
    // What the program reads on standard input.
    std::string input = "/dev/null";
};

// Rows 200 to 899 form one long run that the first term hides.
std::vector<SqzTestRow> MakeRows()
{
    std::vector<SqzTestRow> rows;
    for (int i = 0; i < 1500; ++i)
    {
        const bool run = i >= 200 && i < 900;
        rows.push_back({run ? 3 : (i * 37) % 256, run ? 1 : (i / 3) % 2,
                        i % 50 == 7   ? "ERR_x"
                        : i % 13 == 0 ? "note"
                                      : "ok"});
    }
    return rows;
}

const std::vector<std::string> Terms = {"--hide",      "A < 0x08 or A > 0xf0 and B high",
                                        "--color",     "#00ff00",
                                        "M ~ \"err\"", "--show",
                                        "A != 0x55",   "--color",
                                        "blue",        "A in 0x10..0x1f"};

// The fate of a row: hidden, and the colour text of the CSV.
std::pair<bool, std::string> Expected(const SqzTestRow& row)
{
    if (row.a < 8 || (row.a > 0xf0 && row.b == 1))
        return {true, ""};
    if (row.m.find("ERR") != std::string::npos)
        return {false, "#00ff00"};
    if (row.a == 0x55)
        return {true, ""};
    if (row.a >= 0x10 && row.a <= 0x1f)
        return {false, "#4678f0"};
    return {false, ""};
}

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, separator);)
        fields.push_back(field);
    if (!line.empty() && line.back() == separator)
        fields.emplace_back();
    return fields;
}

TEST_F(HostProgramTest, CsvAndListingFollowTheTermsRowByRow)
{
    const std::vector<SqzTestRow> rows = MakeRows();
    std::vector<std::string> arguments = Terms;
    const std::string csv = folder.File("out.csv");
    const std::string html = folder.File("out.html");
    arguments.insert(arguments.end(), {"--csv", csv, "--html", html, "--all", "--color=never",
                                       "--no-progress"});
    arguments.push_back(folder.WriteCapture("c.vcd", rows));
    const SqzRunResult result = Run(arguments);
    ASSERT_EQ(result.code, 0) << result.err;

    std::ifstream in(csv);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "Time (ps),A,B,M,Hidden,Color");
    std::vector<std::int64_t> shown;
    int colored = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        ASSERT_TRUE(std::getline(in, line)) << "row " << i;
        const std::vector<std::string> f = Split(line, ',');
        ASSERT_EQ(f.size(), 6u) << line;
        const auto [hidden, color] = Expected(rows[i]);
        EXPECT_EQ(f[0], std::to_string(i * 10000));
        EXPECT_EQ(std::stoi(f[1], nullptr, 16), rows[i].a);
        EXPECT_EQ(f[4], hidden ? "1" : "0") << "row " << i << ": " << line;
        EXPECT_EQ(f[5], color) << "row " << i << ": " << line;
        if (!hidden)
            shown.push_back(static_cast<std::int64_t>(i));
        colored += color.empty() ? 0 : 1;
    }
    EXPECT_FALSE(std::getline(in, line));

    // The listing holds exactly the shown rows, in order; then the summary.
    std::vector<std::int64_t> listed;
    std::stringstream out(result.out);
    std::getline(out, line); // heading
    std::vector<std::string> hiddenRuns;
    while (std::getline(out, line) && line.rfind("Summary:", 0) != 0)
        if (line.find(" hidden row") != std::string::npos)
            hiddenRuns.push_back(line.substr(2));
        else
            listed.push_back(std::stoll(line.substr(2)));
    EXPECT_FALSE(hiddenRuns.empty());
    EXPECT_EQ(listed, shown);
    // The HTML page marks the same gaps, each where the listing has it.
    const std::string page = ReadText(html);
    std::vector<std::string> gaps;
    for (std::size_t at = page.find("<tr class=\"gap\">"); at != std::string::npos;
         at = page.find("<tr class=\"gap\">", at + 1))
    {
        const std::size_t text = page.find('>', page.find("<td", at)) + 1;
        gaps.push_back(page.substr(text, page.find('<', text) - text));
    }
    EXPECT_EQ(gaps, hiddenRuns);
    EXPECT_EQ(line, "Summary: 1500 rows: " + std::to_string(shown.size()) + " shown, " +
                        std::to_string(1500 - shown.size()) + " hidden, " +
                        std::to_string(colored) + " coloured");
}

TEST_F(HostProgramTest, JsonSummaryHoldsTheCountsOfTheTextSummary)
{
    std::vector<std::string> arguments = Terms;
    arguments.insert(arguments.end(), {"--no-progress", folder.WriteCapture("c.vcd", MakeRows())});
    const SqzRunResult text = Run(arguments);
    arguments.insert(arguments.begin(), "--json");
    const SqzRunResult json = Run(arguments);
    ASSERT_EQ(json.code, 0) << json.err;
    // One line, no listing; the counts of the text summary and of each term's line.
    EXPECT_EQ(json.out.find('\n'), json.out.size() - 1);
    const std::size_t summary = text.out.find("Summary: 1500 rows: ");
    ASSERT_NE(summary, std::string::npos);
    std::istringstream counts(text.out.substr(summary + 20));
    std::int64_t shown = 0, hidden = 0, colored = 0;
    std::string word;
    counts >> shown >> word >> hidden >> word >> colored;
    EXPECT_NE(json.out.find("\"rows\":1500,\"shown\":" + std::to_string(shown) +
                            ",\"hidden\":" + std::to_string(hidden) +
                            ",\"coloured\":" + std::to_string(colored) + ","),
              std::string::npos)
        << json.out;
    EXPECT_NE(text.out.find("1. " + Terms[1] + " (Hide): "), std::string::npos) << text.out;
    EXPECT_NE(json.out.find("{\"number\":1,\"name\":\"" + Terms[1] + "\",\"action\":\"Hide\""),
              std::string::npos)
        << json.out;
}

TEST_F(HostProgramTest, HiddenRowsAreDimmedOnRequestAndTheLimitHolds)
{
    const std::string capture = folder.WriteCapture("c.vcd", MakeRows());
    const SqzRunResult result = Run({"--hide", "B high", "--show-hidden", "--limit", "5",
                                     "--color=always", "--html", folder.File("o.html"), capture});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("\033[2mh "), std::string::npos);
    EXPECT_NE(result.out.find("listing stopped after 5 rows"), std::string::npos);
    const std::string page = ReadText(folder.File("o.html"));
    EXPECT_NE(page.find("<tr class=\"hidden\">"), std::string::npos);
    EXPECT_NE(page.find("<li><code>Hide: B high</code></li>"), std::string::npos);
}

TEST_F(HostProgramTest, PrintSetupWritesTheMarkupOfSaveMarkupWithTheNamesGiven)
{
    const std::string capture = folder.WriteCapture("c.vcd", MakeRows());
    const std::string file = folder.File("s.xml");
    const SqzRunResult result =
        Run({"--name", "Errors", "--color", "red", "M ~ \"err\"", "--hide",
             "A < 8 or A > 1 and B high", "--print-setup", "--save-markup", file, capture});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, ReadText(file));
    EXPECT_NE(result.out.find("<FilterExpression Name='Errors'>"), std::string::npos);
    EXPECT_NE(result.out.find("Name='A &lt; 8 or A &gt; 1 and B high'"), std::string::npos);
    EXPECT_NE(result.out.find("<Group>"), std::string::npos);
    EXPECT_EQ(result.out.find("Summary:"), std::string::npos);
}

TEST_F(HostProgramTest, LabelsAreListedWithTypeAndWidth)
{
    const SqzRunResult result = Run({"--labels", folder.WriteCapture("c.vcd", {{1, 0, "ok"}})});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "Label  Type           Width\n"
                          "Time   time           64\n"
                          "A      digital        8\n"
                          "B      digital        1\n"
                          "M      text           -\n");
}

// The shared capture's expected counts were worked out from its unfiltered CSV export: hidden
// where (Channel_3 and Channel_7) or (Channel_1 and not Channel_7), coloured where shown and
// Channel_3 is low.
TEST_F(HostProgramTest, SharedCaptureListsAsExpected)
{
    const SqzRunResult result =
        Run({"--hide", "Channel_3 high and Channel_7 high or Channel_1 high and Channel_7 low",
             "--color", "red", "Channel_3 low", "--rows", "0:7", "--color=never", "--no-progress",
             std::string(QZ_SHARED_DIR) + "/captures/chronovu_la8_spiflash_read16.vcd"});
    ASSERT_EQ(result.code, 0) << result.err;
    // Rows 0.5 us apart: the times take five decimals of a millisecond.
    const std::string values = "  0          0          0          ";
    EXPECT_EQ(result.out,
              "  Row   Time (ms)     Channel_0  Channel_1  Channel_2  Channel_3  Channel_4  "
              "Channel_5  Channel_6  Channel_7\n"
              "  \u2026 2 hidden rows \u2026\n"
              "c    2       5.59852" +
                  values +
                  "0          1          1          1          0\n"
                  "     3       5.59902" +
                  values +
                  "1          1          1          1          0\n"
                  "c    4       5.59952" +
                  values +
                  "0          1          1          1          0\n"
                  "     5       5.60002" +
                  values +
                  "1          1          1          1          0\n"
                  "c    6       5.60052" +
                  values +
                  "0          1          1          1          0\n"
                  "     7       5.60102" +
                  values +
                  "1          1          1          1          0\n"
                  "Summary: 1320 rows: 256 shown, 1064 hidden, 124 coloured\n"
                  // One Hide term and one Color term: they decided every hidden and every
                  // coloured row, and the shown rows left uncoloured are the rows no term decided.
                  "  1. Channel_3 high and Channel_7 high or Channel_1 high and Channel_7 low "
                  "(Hide): 1064 hidden\n"
                  "  2. Channel_3 low (Color #e63c3c): 124 coloured\n"
                  "  no term: 132 shown\n");
}

// Without arguments: the generated sample with its setup, as if both were named, but listed
// from a few shown rows before the first coloured one, so that the first screen (20 lines)
// shows a coloured row and hidden runs.
TEST_F(HostProgramTest, NoArgumentsRunsTheSampleWithItsSetup)
{
    const SqzRunResult sample = Run({"--no-progress", "-n", "50"});
    ASSERT_EQ(sample.code, 0) << sample.err;
    EXPECT_NE(sample.err.find("with its setup"), std::string::npos) << sample.err;
    const SqzRunResult named = Run({"--no-progress", "-n", "50", "--setup",
                                    CqzSessionOpener::SampleSetup(), CqzSessionOpener::SampleCapture()});
    const auto summary = [](const std::string& out) { return out.substr(out.rfind("Summary:")); };
    EXPECT_EQ(summary(sample.out), summary(named.out));
    EXPECT_EQ(sample.out.find(", 0 hidden"), std::string::npos) << sample.out;
    std::stringstream screen(sample.out);
    std::string line;
    bool colored = false, hiddenRun = false;
    for (int i = 0; i < 20 && std::getline(screen, line); ++i)
    {
        colored = colored || line.rfind("c ", 0) == 0;
        hiddenRun = hiddenRun || line.find(" hidden row") != std::string::npos;
    }
    EXPECT_TRUE(colored && hiddenRun) << sample.out;
    // Terms given replace the setup.
    const SqzRunResult terms = Run({"--no-progress", "-q", "--hide", "RW high"});
    ASSERT_EQ(terms.code, 0) << terms.err;
    EXPECT_EQ(named.out.find(terms.out), std::string::npos) << terms.out;
}

struct SqzBadUsage
{
    std::vector<std::string> arguments; // "@" stands for a good capture
    int code;
    std::string message;
};

TEST_F(HostProgramTest, BadUsageGivesItsExitCodeAndMessage)
{
    const std::string capture = folder.WriteCapture("c.vcd", {{1, 0, "ok"}});
    const std::string bad = folder.Write("bad.vcd", "$timescale 1 ns $end\n$var wire 8 ! A\n");
    const std::vector<SqzBadUsage> cases = {
        {{"--frobnicate", "@"}, 1, "unknown option '--frobnicate'"},
        {{"--hide", "A <> 3", "@"}, 1, "--hide 'A <> 3': column 3: unknown operator '<>'"},
        {{"--color", "mauve", "A == 1", "@"}, 1, "unknown colour 'mauve'"},
        {{"--limit", "-3", "@"}, 1, "is not a count"},
        {{"--hide"}, 1, "--hide needs a value"},
        {{"@", "@"}, 1, "one capture file only"},
        {{folder.File("missing.vcd")}, 2, "missing.vcd"},
        {{bad}, 2, "bad.vcd:"},
        {{"--plugin", folder.File("none.so"), "@"}, 3, "cannot load the plug-in"},
        {{"--csv", folder.File("no/such/dir.csv"), "@"}, 4, "cannot write the CSV file"},
        {{"--setup", folder.Write("s.xml", "<Filter"), "@"}, 4, "s.xml"},
        {{"--setup", folder.Write("empty.xml", ""), "@"}, 4, "empty.xml: the file holds no markup"},
        {{"--color", "never", "@"}, 1, "write --color=never"},
        {{"--color", "red", "@"}, 1, "is a capture file, not an expression"},
        {{"--hide", "trace.VCD"}, 1, "give the expression first: --hide EXPR trace.VCD"},
        {{"--html", folder.File("no/such/p.html"), folder.File("missing.vcd")},
         4,
         "cannot write the HTML file"},
        {{"--save-setup", folder.File(""), "@"}, 4, "it is a folder"},
        {{"--setup",
          folder.Write("u.xml", "<Filter><FilterExpression Name='x'><Search><Event "
                                "Label='Q\x1b' Op='Equal' Value='h1'/></Search>"
                                "</FilterExpression></Filter>"),
          "@"},
         4,
         "term 1 'x': unknown label 'Q\\x1b'"},
        {{"-"}, 2, "standard input"},
    };
    for (const SqzBadUsage& bad : cases)
    {
        std::vector<std::string> arguments = bad.arguments;
        for (std::string& argument : arguments)
            argument = argument == "@" ? capture : argument;
        const SqzRunResult result = Run(arguments);
        EXPECT_EQ(result.code, bad.code) << arguments[0] << ": " << result.err;
        EXPECT_NE(result.err.find(bad.message), std::string::npos)
            << arguments[0] << ": " << result.err;
    }
}

// Outputs that cannot be written whole, outputs that are inputs, and a standard output that
// fails: the exit code, the words, and the old file as it was.
struct SqzFailedOutput
{
    std::vector<std::string> arguments; // "@": the capture
    std::string shell;                  // run before the program
    int code;
    std::vector<std::string> words;
    std::string kept; // a file that must keep its old content ("old\n"), or empty
};

TEST_F(HostProgramTest, FailedOutputsKeepTheOldFileAndSayWhy)
{
    const std::string capture = folder.WriteCapture("c.vcd", MakeRows());
    const std::string before = ReadText(capture);
    const std::string csv = folder.Write("out.csv", "old\n");
    const std::string html = folder.Write("out.html", "old\n");
    const std::string setup = folder.Write("setup.xml", "old\n");
    std::filesystem::create_hard_link(capture, folder.File("other-name.vcd"));
    const std::string full = "trap '' XFSZ; ulimit -f 1; "; // a disk that fills at 1 KiB
    const std::vector<SqzFailedOutput> cases = {
        {{"--csv", csv, "@"}, full, 4, {"cannot write the CSV file '" + csv, "too large"}, csv},
        {{"--html", html, "@"}, full, 4, {"cannot write the HTML file", "too large"}, html},
        {{"--csv", "@", "@"}, "", 4, {"the CSV file '" + capture + "' is the input"}, ""},
        {{"--html", folder.File("other-name.vcd"), "@"}, "", 4, {"other-name.vcd' is the input"}, ""},
        {{"--save-markup", setup, "--setup", setup, "@"}, "", 4, {"markup file"}, setup},
        {{"--print-setup", "@"}, "exec >/dev/full; ", 4, {"standard output: No space left"}, ""},
        {{"--labels", "@"}, "exec >&-; ", 4, {"standard output: Bad file descriptor"}, ""},
    };
    for (const SqzFailedOutput& c : cases)
    {
        std::vector<std::string> arguments = c.arguments;
        for (std::string& argument : arguments)
            argument = argument == "@" ? capture : argument;
        const SqzRunResult result = Run(arguments, "", c.shell);
        EXPECT_EQ(result.code, c.code) << arguments[0] << ": " << result.err;
        for (const std::string& word : c.words)
            EXPECT_NE(result.err.find(word), std::string::npos) << arguments[0] << ": " << result.err;
        if (!c.kept.empty())
        {
            EXPECT_EQ(ReadText(c.kept), "old\n") << arguments[0];
        }
        EXPECT_EQ(ReadText(capture), before) << arguments[0];
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")), {}), 6);
}

// A binary setup saved in one run filters the next run alone, and under command-line terms
// that follow its terms.
TEST_F(HostProgramTest, BinarySetupAloneOrWithTermsIsApplied)
{
    const std::string capture = folder.WriteCapture("c.vcd", MakeRows());
    const std::string setup = folder.File("s.qzs");
    const SqzRunResult saved = Run({"--hide", "B high", "-q", "--save-setup", setup, capture});
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(Run({"-q", "--load-setup", setup, capture}).out, saved.out);
    const SqzRunResult more = Run(
        {"-q", "--load-setup", setup, "--print-setup", "--color", "red", "M ~ \"ERR\"", capture});
    EXPECT_LT(more.out.find("Name='B high'"), more.out.find("Name='M ~ &quot;ERR&quot;'"))
        << more.out;
}

// "-" reads the capture from standard input, whatever its type; errors name standard input.
TEST_F(HostProgramTest, StandardInputIsACapture)
{
    const std::string capture = folder.WriteCapture("c.vcd", MakeRows());
    const SqzRunResult named = Run({"--hide", "B high", "-q", capture});
    input = capture;
    const SqzRunResult piped = Run({"--hide", "B high", "-q", "-"});
    ASSERT_EQ(piped.code, 0) << piped.err;
    EXPECT_EQ(piped.out, named.out);
    input = folder.Write("d.csv", "time,D\n0,1\n10,2\n");
    EXPECT_EQ(Run({"-q", "-"}).out.rfind("Summary: 2 rows: 2 shown, 0 hidden, 0 coloured\n", 0),
              0u);
    input = folder.Write("bad.vcd", "$timescale 1 ns $end\n$var wire 8 ! A\n");
    const SqzRunResult bad = Run({"-"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_EQ(bad.err.rfind("qzfilter: -:", 0), 0u) << bad.err;
    // A FIFO is read once, as it arrives; a stream of NULs is refused at its first block.
    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const SqzRunResult fromFifo =
        Run({"--hide", "B high", "-q", fifo}, "", "cat " + ShellQuote(capture) + " > " + fifo + " & ");
    EXPECT_EQ(fromFifo.out, named.out) << fromFifo.err;
    input = "/dev/zero";
    const SqzRunResult zeros = Run({"-"});
    EXPECT_EQ(zeros.code, 2);
    EXPECT_NE(zeros.err.find("byte 1 is a NUL"), std::string::npos) << zeros.err;
}

// A run ended by a signal while it copies standard input or writes an export (stopped there by
// the test hook QZFILTER_PAUSE_AT) leaves no temporary file and the old export.
TEST_F(HostProgramTest, SignalsLeaveNoTemporaryFileAndTheOldExport)
{
    const std::string capture = folder.WriteCapture("c.vcd", MakeRows());
    const std::string csv = folder.Write("out.csv", "old\n");
    const std::string temp = folder.File("tmp");
    std::filesystem::create_directory(temp);
    for (const auto& [point, signal] : {std::pair{"copy", SIGTERM}, {"copy", SIGINT},
                                        {"write", SIGTERM}, {"rename", SIGHUP}})
    {
        int errPipe[2];
        ASSERT_EQ(pipe(errPipe), 0);
        const pid_t child = fork();
        if (child == 0)
        {
            dup2(open(capture.c_str(), O_RDONLY), STDIN_FILENO);
            dup2(errPipe[1], STDERR_FILENO);
            setenv("QZFILTER_PAUSE_AT", point, 1);
            setenv("TMPDIR", temp.c_str(), 1);
            execl(QZ_HOST_PROGRAM, QZ_HOST_PROGRAM, "-q", "--csv", csv.c_str(), "-", nullptr);
            _exit(127);
        }
        close(errPipe[1]);
        std::string err;
        char buffer[256];
        for (ssize_t n; err.find("paused at") == std::string::npos &&
                        (n = read(errPipe[0], buffer, sizeof buffer)) > 0;)
            err.append(buffer, std::size_t(n));
        close(errPipe[0]);
        EXPECT_NE(err.find(std::string("paused at ") + point), std::string::npos) << err;
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << point;
        EXPECT_TRUE(std::filesystem::is_empty(temp)) << point;
        EXPECT_EQ(ReadText(csv), "old\n") << point;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")), {}), 3)
            << point;
    }
}

// Where memory runs out (here a limit on the address space) the program says so and ends with
// exit code 2, whatever it was doing.
TEST_F(HostProgramTest, RunningOutOfMemoryIsAClearError)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#else
    std::string terms;
    for (int i = 0; i < 60000; ++i)
        terms += "<FilterExpression Name='t'><Search><Event Label='A' Op='Equal' Value='h1'/>"
                 "</Search><FilterAction Type='Hide'/></FilterExpression>";
    const std::string setup = folder.Write("big.xml", "<Filter>" + terms + "</Filter>");
    const SqzRunResult result =
        Run({"--setup", setup, "-q", folder.WriteCapture("c.vcd", MakeRows())}, "",
            "ulimit -v 120000; ");
    EXPECT_EQ(result.code, 2) << result.err;
    EXPECT_NE(result.err.find("qzfilter: out of memory while "), std::string::npos) << result.err;
#endif
}

} // namespace

// Hostile and awkward captures: the file, the exit code, and words the error (or the output)
// must hold.
struct SqzHostileCase
{
    std::string name; // the file name; a name ending in '/' is a directory
    std::string content;
    int code;
    std::vector<std::string> words;
    std::string environment = ""; // set for the run ("NAME=value"), or empty
};

class HostileCaptureTest : public HostProgramTest,
                           public ::testing::WithParamInterface<SqzHostileCase>
{
};

const std::string kVcd = "$timescale 1 ns $end\n$var wire 1 ! a $end\n$enddefinitions $end\n";

TEST_P(HostileCaptureTest, GivesTheExitCodeAndAClearMessage)
{
    const SqzHostileCase& c = GetParam();
    std::string path = folder.File(c.name);
    if (c.name.back() == '/')
        std::filesystem::create_directories(path);
    else
        folder.Write(c.name, c.content);
    const SqzRunResult result = Run({"--labels", path}, c.environment);
    EXPECT_EQ(result.code, c.code) << result.err;
    for (const std::string& word : c.words)
        EXPECT_NE((result.err + result.out).find(word), std::string::npos)
            << "no '" << word << "' in: " << result.err << result.out;
    EXPECT_EQ((result.err + result.out).find('\x1b'), std::string::npos) << "a raw escape byte";
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileCaptureTest,
    ::testing::Values(
        SqzHostileCase{"nul.vcd",
                       kVcd + "#0\n1!\n" + std::string(1 << 16, '\0'),
                       2,
                       {"nul.vcd:6: control byte 0x00"}},
        SqzHostileCase{"capture.vcd/", "", 2, {"capture.vcd/: is a directory"}},
        SqzHostileCase{"fs.vcd",
                       "$timescale 1 fs $end\n$var wire 1 ! a $end\n$enddefinitions $end\n"
                       "#2000\n1!\n#2001\n0!\n",
                       2,
                       {"fs.vcd:6: timestamp '#2001' is 2001 fs, not a whole number"}},
        SqzHostileCase{"escape.csv",
                       "Time,\x1b[31mRed\n0,1\n",
                       2,
                       {"escape.csv:1: control byte 0x1b: a CSV file is text"}},
        SqzHostileCase{"bom.csv", "\xEF\xBB\xBFTime,A\n0,1\n", 0, {"A      digital"}},
        SqzHostileCase{"bom.vcd", "\xEF\xBB\xBF" + kVcd + "#0\n1!\n", 0, {"a      digital"}},
        SqzHostileCase{"wide.vcd",
                       "$var wire 256 ! wide $end\n$var wire 1 \" a $end\n$enddefinitions "
                       "$end\n#0\n1\"\n",
                       0,
                       {"note: ", "wide.vcd: 1: $var wide is 256 bits wide; skipped"}},
        SqzHostileCase{"big.csv",
                       "Time,A,B\n0,1,2\n1,0,3\n",
                       2,
                       {"big.csv: the capture needs about", "1.0 KiB are allowed by "
                                                            "QZFILTER_MEMORY_LIMIT"},
                       "QZFILTER_MEMORY_LIMIT=1K"},
        SqzHostileCase{"limit.csv",
                       "Time,A\n0,1\n",
                       2,
                       {"QZFILTER_MEMORY_LIMIT: '512XB' is not a size above 0"},
                       "QZFILTER_MEMORY_LIMIT=512XB"},
        SqzHostileCase{"sized.csv", "Time,A\n0,1\n", 0, {}, "QZFILTER_MEMORY_LIMIT=1.5G"},
        SqzHostileCase{"rate.csv",
                       "; Samplerate: 3000 GHz\nA\n1\n",
                       2,
                       {"is above 1 THz"}}));

TEST_F(HostProgramTest, UnknownAndFloatingDigitsShowInListingCsvAndHtml)
{
    const std::string capture = folder.Write(
        "xz.vcd", "$timescale 1 ns $end\n$var wire 16 ! w $end\n$var wire 8 \" b $end\n"
                  "$var wire 1 # s $end\n$enddefinitions $end\n"
                  "#0\nb110000zzzzzzzz !\nb1010xxxx \"\nz#\n#1\nb1 !\n");
    const std::string csv = folder.File("xz.csv");
    const std::string html = folder.File("xz.html");
    const SqzRunResult result =
        Run({"--color=never", "--no-progress", "--csv", csv, "--html", html, capture});
    ASSERT_EQ(result.code, 0) << result.err;
    const std::string csvText = ReadText(csv);
    const std::string htmlText = ReadText(html);
    for (const std::string* text : {&result.out, &csvText, &htmlText})
    {
        EXPECT_NE(text->find("30zz"), std::string::npos) << *text;
        EXPECT_NE(text->find("ax"), std::string::npos) << *text;
        EXPECT_NE(text->find("0001"), std::string::npos) << *text;
    }
    EXPECT_NE(csvText.find("0,30zz,ax,z,"), std::string::npos) << csvText;
}

// The memory limit covers the run, not only the import: a capture that fits but whose filter
// output would not is refused naming the output, its figure and what the capture holds.
TEST_F(HostProgramTest, OutputThatWouldPassTheMemoryLimitIsRefused)
{
    const std::string capture = folder.WriteCapture("c.vcd", MakeRows());
    const SqzRunResult result =
        Run({"--hide", "A < 8", "-q", capture}, "QZFILTER_MEMORY_LIMIT=48K");
    EXPECT_EQ(result.code, 2) << result.err;
    EXPECT_NE(result.err.find("qzfilter: writing the listing and the exports: the filter's output needs about "
                              "64.0 KiB of memory, besides about "),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find(" for the capture; 48.0 KiB are allowed by QZFILTER_MEMORY_LIMIT"),
              std::string::npos)
        << result.err;
}
