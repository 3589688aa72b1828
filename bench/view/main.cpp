// qzviewbench: how fast `qzfilter view` shows a deep capture. For each size (millions of rows,
// default 1,10,100) a generated capture (CqzBenchViewCapture) goes to the filter tool as the
// host gives it one; then, offscreen, the time from the start of the tool to the first drawn
// window, and from there to the window drawn at the last row (End), with the pages produced.
// Prints one line per size; nothing here is a test.

#include "CqzBenchViewCapture.h"
#include "CqzHostSession.h"
#include "CqzPageProduction.h"
#include "CqzViewWindow.h"
#include "mfc/ui/AfxWin.h"

#include <QApplication>
#include <QPixmap>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Measure(std::int64_t rows)
{
    auto start = Clock::now();
    std::unique_ptr<CqzData> data = CqzBenchViewCapture::Make(rows);
    const double build = Since(start);

    start = Clock::now();
    CqzHostSession session;
    session.SetData(std::move(data));
    session.StartTool(QZ_PLUGIN_PATH);
    CqzXMLParser xml(CqzBenchViewCapture::GetSetupMarkup());
    if (!session.ApplyMarkup(xml))
        throw std::runtime_error("the tool refused the benchmark's setup");
    session.Run();
    CqzViewWindow window(session, "generated", false);
    window.show();
    window.grab();
    const double first = Since(start);
    window.GetTable().GoToEnd();
    window.grab();
    const double last = Since(start);
    const CqzID& instance = session.GetInstanceID();
    std::printf(
        "%6lld M rows  capture %9.1f ms  first table %7.1f ms  last row %7.1f ms  "
        "pages produced %lld of %lld\n",
        static_cast<long long>(rows / 1000000), build, first, last,
        static_cast<long long>(CqzPageProduction::GetProducedCount(session.GetData(), instance)),
        static_cast<long long>(CqzPageProduction::GetPageCount(session.GetData(), instance)));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::int64_t> sizes = {1, 10, 100};
    if (argc > 2 && std::string(argv[1]) == "--scale")
    {
        sizes.clear();
        std::stringstream list(argv[2]);
        for (std::string item; std::getline(list, item, ',');)
            sizes.push_back(std::atoll(item.c_str()));
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    if (!AfxWinInit(qtArgc, argv))
        return 1;
    for (const std::int64_t millions : sizes)
        Measure(millions * 1000000);
    AfxWinTerm();
    return 0;
}
