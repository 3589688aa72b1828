#pragma once
// The command line of qzbench:
//   --rows N          rows of the W1 and W2 workloads (default 10000000)
//   --big-rows N      rows of the second run of W1 and W2 (default 100000000; 0 skips it)
//   --scale 1,10,100  capture sizes of the scale part, in millions of rows (fractions allowed)
//   --quick           small sizes for a smoke run (explicit --rows/--scale still win)
//   --only w1,w2,scale,import,markup,decode,first   the parts to run (default all; --quick
//                     leaves out decode)
//   --first-rows N    rows of the sample bus capture whose first listed row and first drawn
//                     table are timed (default 100000000)
//   --import-mb M     size of each generated import file (default 100)
//   --bus-rows N      rows of the sample bus dump the import part reads (default 100000000;
//                     the file is kept in the temporary folder and reused by later runs)
//   --plugin PATH     the plug-in library to load (default: the one built with qzbench)

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class CqzBenchOptions
{
public:
    std::int64_t rows = 10'000'000;
    std::int64_t bigRows = 100'000'000;
    std::vector<double> scaleMillions = {1, 10, 100};
    std::int64_t importBytes = 100ll << 20;
    std::int64_t busRows = 100'000'000;
    bool quick = false;
    std::int64_t firstRows = 100'000'000;
    std::set<std::string> parts = {"w1", "w2", "scale", "import", "markup", "decode", "first"};
    std::string plugInPath;
    // The qzfilter program the first part runs (set by the program, not the command line).
    std::string filterProgram;

    // Throws std::invalid_argument with a message naming the bad argument.
    static CqzBenchOptions Parse(const std::vector<std::string>& args);
    bool Runs(const std::string& part) const { return parts.count(part) != 0; }
    static const char* Usage();

private:
    static std::vector<std::string> SplitList(const std::string& text);
    static double ParseNumber(const std::string& text, const std::string& option);
};
