#include "CqzBenchDecode.h"

#include "CqzBenchStopwatch.h"
#include "CqzDecodeLibrary.h"
#include "CqzDecodeRunner.h"
#include "capture/CqzCaptureLoader.h"

#include <chrono>
#include <cstdlib>
#include <sys/resource.h>

namespace
{
struct SqzCase
{
    const char* name;
    const char* capture;
    const char* ours;   // channels by label name
    const char* sigrok; // channels by sigrok-cli's names
    const char* id;
};

const SqzCase Cases[] = {
    {"spi", "spi_atmega32_00.sr", "spi:clk=D2:mosi=D1:cs=D0", "spi:clk=2:mosi=1:cs=0", "spi"},
    {"i2c", "tca6408a.sr", "i2c:scl=SCL:sda=SDA", "i2c:scl=SCL:sda=SDA", "i2c"},
    {"uart", "hello_world_8n1_115200.sr", "uart:rx=TX:baudrate=115200",
     "uart:rx=TX:baudrate=115200", "uart"},
};

double ChildCpuSeconds()
{
    rusage usage = {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
} // namespace

CqzBenchDecode::CqzBenchDecode(std::string captures) : m_captures(std::move(captures)) {}

std::vector<CqzBenchDecode::SqzResult> CqzBenchDecode::Run()
{
    // A running program starts the library once; so does sigrok-cli before it decodes.
    const CqzBenchStopwatch start;
    CqzDecodeLibrary::Instance().Load("spi");
    m_startSeconds = start.WallSeconds();
    std::vector<SqzResult> results;
    for (const SqzCase& c : Cases)
    {
        SqzResult r;
        r.name = c.name;
        const std::string file = m_captures + "/" + c.capture;
        CqzBenchStopwatch clock;
        SqzCaptureOptions options;
        SqzDecodeRequest request;
        options.samplerate = [&request](std::uint64_t rate) { request.captureRate = rate; };
        const std::unique_ptr<CqzData> data = CqzCaptureLoader::Load(file, options);
        r.loadSeconds = clock.WallSeconds();
        clock.Restart();
        request.stacks = {c.ours};
        CqzDecodeRunner::Run(*data, request);
        r.decodeSeconds = clock.WallSeconds();
        r.decodeCpuSeconds = clock.CpuSeconds();
        r.annotations = static_cast<std::size_t>(data->GetTable(1)->GetRowCount());

        const double childCpu = ChildCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const std::string command = std::string("sigrok-cli -i '") + file + "' -P " + c.sigrok +
                                    " -A " + c.id + " >/dev/null 2>&1";
        r.sigrokRan = std::system(command.c_str()) == 0;
        r.sigrokSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        r.sigrokCpuSeconds = ChildCpuSeconds() - childCpu;
        results.push_back(r);
    }
    return results;
}
