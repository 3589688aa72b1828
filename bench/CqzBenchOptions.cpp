#include "CqzBenchOptions.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace
{
const std::set<std::string> KnownParts = {"w1",     "w2",     "scale", "import",
                                          "markup", "decode", "first"};

// A count of rows: whole and at least `least`, else `refusal`.
std::int64_t WholeNumber(double value, double least, const std::string& refusal)
{
    if (value < least || value != std::floor(value))
        throw std::invalid_argument(refusal);
    return static_cast<std::int64_t>(value);
}
}

const char* CqzBenchOptions::Usage()
{
    return "usage: qzbench [--rows N] [--big-rows N] [--scale 1,10,100] [--quick] [--only "
           "w1,w2,scale,import,markup,decode,first]\n"
           "               [--import-mb M] [--bus-rows N] [--first-rows N] [--plugin PATH]\n";
}

CqzBenchOptions CqzBenchOptions::Parse(const std::vector<std::string>& args)
{
    CqzBenchOptions options;
    bool onlyGiven = false, rowsGiven = false, bigGiven = false, scaleGiven = false, importGiven = false,
         busGiven = false, firstGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (arg == "--quick")
        {
            options.quick = true;
            continue;
        }
        if (arg != "--rows" && arg != "--big-rows" && arg != "--scale" && arg != "--only" &&
            arg != "--import-mb" && arg != "--bus-rows" && arg != "--first-rows" &&
            arg != "--plugin")
            throw std::invalid_argument("unknown argument '" + arg + "'");
        if (i + 1 >= args.size())
            throw std::invalid_argument(arg + " needs a value");
        const std::string& value = args[++i];
        if (arg == "--rows")
        {
            options.rows = WholeNumber(ParseNumber(value, arg), 1,
                                       "--rows takes a whole number of at least 1");
            rowsGiven = true;
        }
        else if (arg == "--big-rows")
        {
            options.bigRows = WholeNumber(ParseNumber(value, arg), 0,
                                          "--big-rows takes a whole number (0 skips)");
            bigGiven = true;
        }
        else if (arg == "--scale")
        {
            options.scaleMillions.clear();
            for (const std::string& item : SplitList(value))
            {
                const double millions = ParseNumber(item, arg);
                if (millions * 1e6 < 1)
                    throw std::invalid_argument("--scale sizes are millions of rows above 0");
                options.scaleMillions.push_back(millions);
            }
            scaleGiven = true;
        }
        else if (arg == "--only")
        {
            onlyGiven = true;
            options.parts.clear();
            for (const std::string& item : SplitList(value))
            {
                if (KnownParts.count(item) == 0)
                    throw std::invalid_argument("--only: unknown part '" + item + "'");
                options.parts.insert(item);
            }
        }
        else if (arg == "--first-rows")
        {
            options.firstRows = WholeNumber(ParseNumber(value, arg), 1,
                                            "--first-rows takes a whole number of at least 1");
            firstGiven = true;
        }
        else if (arg == "--import-mb")
        {
            const double mb = ParseNumber(value, arg);
            if (mb <= 0)
                throw std::invalid_argument("--import-mb takes a size above 0");
            options.importBytes = static_cast<std::int64_t>(mb * (1 << 20));
            importGiven = true;
        }
        else if (arg == "--bus-rows")
        {
            const double rows = ParseNumber(value, arg);
            if (rows < 1 || rows != std::floor(rows))
                throw std::invalid_argument("--bus-rows takes a whole number of at least 1");
            options.busRows = static_cast<std::int64_t>(rows);
            busGiven = true;
        }
        else
            options.plugInPath = value;
    }
    if (options.quick)
    {
        if (!rowsGiven)
            options.rows = 20'000;
        if (!bigGiven)
            options.bigRows = 50'000;
        if (!scaleGiven)
            options.scaleMillions = {0.01, 0.1};
        if (!importGiven)
            options.importBytes = 1 << 20;
        if (!busGiven)
            options.busRows = 100'000;
        if (!firstGiven)
            options.firstRows = 100'000;
        // Decoding needs sigrok-cli and the shared captures: a smoke run leaves it out.
        if (!onlyGiven)
            options.parts.erase("decode");
    }
    return options;
}

std::vector<std::string> CqzBenchOptions::SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            items.push_back(item);
    if (items.empty())
        throw std::invalid_argument("empty list '" + text + "'");
    return items;
}

double CqzBenchOptions::ParseNumber(const std::string& text, const std::string& option)
{
    std::size_t used = 0;
    double value = 0;
    try
    {
        value = std::stod(text, &used);
    }
    catch (const std::exception&)
    {
        used = 0;
    }
    if (used == 0 || used != text.size() || !std::isfinite(value))
        throw std::invalid_argument(option + ": '" + text + "' is not a number");
    return value;
}
