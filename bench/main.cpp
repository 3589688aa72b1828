// qzbench: speed and memory of the filter plug-in's full path and of the capture importers.
// The figures go to stdout as a table followed by one JSON line; progress goes to stderr.

#include "CqzBenchOptions.h"
#include "CqzBenchPlugIn.h"
#include "CqzBenchReport.h"
#include "CqzBenchSuite.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    CqzBenchOptions options;
    try
    {
        options = CqzBenchOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
    }
    catch (const std::exception& error)
    {
        std::cerr << "qzbench: " << error.what() << "\n" << CqzBenchOptions::Usage();
        return 2;
    }
    if (options.plugInPath.empty())
        options.plugInPath = QZ_PLUGIN_PATH;
    options.filterProgram = QZ_FILTER_PROGRAM;

    CqzBenchReport report;
    try
    {
        CqzBenchPlugIn plugIn(options.plugInPath);
        CqzBenchSuite suite(options, plugIn, report);
        suite.Run();
    }
    catch (const std::exception& error)
    {
        std::cerr << "qzbench: " << error.what() << "\n";
        return 1;
    }
    report.PrintTable(std::cout);
    std::cout << "\n" << report.ToJson() << std::endl;
    return 0;
}
