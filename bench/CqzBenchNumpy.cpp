#include "CqzBenchNumpy.h"

#include "CqzBenchRawLoop.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace
{
// Removes the temporary folder when the run ends, also by an exception.
struct SqzTempFolder
{
    std::string path;
    SqzTempFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qzbench-numpy-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            path = pattern;
    }
    ~SqzTempFolder()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
};
} // namespace

const char* CqzBenchNumpy::Script()
{
    return R"PY(
import sys, time
try:
    import numpy as np
except ImportError:
    print("no numpy")
    sys.exit(3)
folder, with_text = sys.argv[1], sys.argv[2] == "1"
addr = np.fromfile(folder + "/addr.u32", dtype=np.uint32)
data = np.fromfile(folder + "/data.u16", dtype=np.uint16)
stat = np.fromfile(folder + "/stat.u8", dtype=np.uint8)
if with_text:
    msg = np.fromfile(folder + "/msg.u32", dtype=np.uint32)
    with open(folder + "/texts.txt") as f:
        texts = f.read().split("\n")[:-1]
HIDDEN = np.uint64(1 << 11)
def color(c):
    return np.uint64((1 << 13) | ((c & 0xffffff) << 32))
def decide():
    hide = (addr >= 0x1000) & (addr <= 0x1fff) & ((stat & 0xf0) == 0x30)
    rec = np.where(addr >= 0x8000, HIDDEN, np.uint64(0))
    rec = np.where(data == 0xdead, color(0x0000ff), rec)
    if with_text:
        err = np.array(["err" in t.lower() for t in texts], dtype=bool)
        rec = np.where(err[msg], color(0x0080ff), rec)
    return np.where(hide, HIDDEN, rec)
best = None
for _ in range(3):
    start = time.perf_counter()
    rec = decide()
    seconds = time.perf_counter() - start
    best = seconds if best is None else min(best, seconds)
print(best, int(rec.sum(dtype=np.uint64)))
)PY";
}

std::optional<CqzBenchNumpy::SqzResult> CqzBenchNumpy::Run(const CqzBenchRawLoop& arrays,
                                                           bool withText, std::string& why)
{
    if (access(Python, X_OK) != 0)
    {
        why = std::string(Python) + " not found";
        return std::nullopt;
    }
    const SqzTempFolder folder;
    if (folder.path.empty())
    {
        why = "no temporary folder";
        return std::nullopt;
    }
    arrays.WriteArrays(folder.path);
    const std::string script = folder.path + "/decide.py";
    std::ofstream(script) << Script();
    const std::string command = std::string(Python) + " " + script + " " + folder.path + " " +
                                (withText ? "1" : "0") + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        why = "cannot start " + std::string(Python);
        return std::nullopt;
    }
    std::string output;
    std::array<char, 512> buffer;
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
        output += buffer.data();
    const int status = pclose(pipe);
    if (status != 0 || output.find("no numpy") != std::string::npos)
    {
        why = output.find("no numpy") != std::string::npos
                  ? "numpy is not installed for " + std::string(Python) +
                        " (Debian package python3-numpy)"
                  : "the numpy script failed: " + output;
        return std::nullopt;
    }
    std::optional<SqzResult> result = ParseOutput(output);
    if (!result)
        why = "the numpy script printed no timing: " + output;
    return result;
}

std::optional<CqzBenchNumpy::SqzResult> CqzBenchNumpy::ParseOutput(const std::string& output)
{
    std::string last;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            last = line;
    std::istringstream in(last);
    SqzResult result;
    if (!(in >> result.seconds >> result.checksum) || result.seconds <= 0)
        return std::nullopt;
    return result;
}
