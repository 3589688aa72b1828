#pragma once
// What the view tests share: the toolkit's application (started once, as `qzfilter view` starts
// it), the built program run on a capture, and the rows of the CSV export it writes.

#include "common/HostTestFiles.h"
#include "mfc/ui/AfxWin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

// One row of the program's CSV export: the label values, hidden, colour ("" or "#rrggbb").
struct SqzCsvRow
{
    std::int64_t time = 0;
    std::vector<std::string> fields;
    bool hidden = false;
    std::string color;
};

class ViewEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "view_tests";
        static char* argv[] = {name, nullptr};
        // The windows are drawn offscreen unless the environment names a platform.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ASSERT_TRUE(AfxWinInit(argc, argv));
    }
    void TearDown() override { AfxWinTerm(); }
};

// Runs the program with the arguments (each quoted for the shell) and its CSV export to a file;
// answers the export's rows.
inline std::vector<SqzCsvRow> ProgramCsv(const HostTestFolder& folder,
                                         const std::vector<std::string>& arguments)
{
    const std::string csv = folder.File("program.csv");
    std::string command =
        ShellQuote(QZ_HOST_PROGRAM) + " -q --color=never --csv " + ShellQuote(csv);
    for (const std::string& argument : arguments)
        command += " " + ShellQuote(argument);
    EXPECT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
    std::vector<SqzCsvRow> rows;
    std::ifstream in(csv);
    std::string line;
    std::getline(in, line); // heading
    while (std::getline(in, line))
    {
        SqzCsvRow row;
        std::size_t start = 0;
        std::vector<std::string> fields;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
             start = comma + 1)
            fields.push_back(line.substr(start, comma - start));
        fields.push_back(line.substr(start));
        row.time = std::stoll(fields.front());
        row.color = fields.back();
        row.hidden = fields[fields.size() - 2] == "1";
        row.fields.assign(fields.begin() + 1, fields.end() - 2);
        rows.push_back(row);
    }
    return rows;
}
