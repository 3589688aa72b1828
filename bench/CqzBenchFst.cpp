#include "CqzBenchFst.h"

#include "CqzBenchImport.h"
#include "CqzBenchStopwatch.h"

#include "qzSystem/data/CqzData.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace
{
void Shell(const std::string& command)
{
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
        throw std::runtime_error("failed: " + command);
}

// A temporary folder, removed with everything in it.
struct Folder
{
    std::filesystem::path path;
    Folder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qzbench-fst-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder from " + pattern);
        path = pattern;
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};
} // namespace

bool CqzBenchFst::Available()
{
    return std::system("command -v vcd2fst >/dev/null 2>&1 && command -v fst2vcd >/dev/null 2>&1") ==
           0;
}

CqzBenchFst::SqzResult CqzBenchFst::Run(std::int64_t vcdBytes)
{
    SqzResult result;
    const Folder folder;
    const std::string vcd = (folder.path / "bench.vcd").string();
    const std::string fst = (folder.path / "bench.fst").string();
    result.expectedRows = CqzBenchImport::WriteVcd(vcd, vcdBytes);
    result.vcdBytes = static_cast<std::int64_t>(std::filesystem::file_size(vcd));
    Shell("vcd2fst '" + vcd + "' '" + fst + "'");
    std::filesystem::remove(vcd);
    result.fstBytes = static_cast<std::int64_t>(std::filesystem::file_size(fst));

    // Each side the fastest of as many runs as an import's loads, taken in turns.
    for (int run = 0; run < CqzBenchImport::Loads; ++run)
    {
        std::unique_ptr<CqzData> data;
        CqzBenchImport::TimedLoad(fst, run == 0, result.loadSeconds, result.loadCpuSeconds, data);
        result.rows = data->GetTable(0)->GetRowCount();
        CqzBenchImport::ForgetLabels(*data);
        data.reset();

        CqzBenchStopwatch clock;
        Shell("fst2vcd -f '" + fst + "' -o /dev/null");
        const double fst2vcd = clock.WallSeconds();
        result.fst2vcdSeconds = run == 0 ? fst2vcd : std::min(result.fst2vcdSeconds, fst2vcd);
    }
    return result;
}
