#include "qzSystem/persist/CqzRemoveOnSignal.h"

#include <array>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace
{
// Temporary names that exist on disk, removed by the signal handler. A slot is claimed with
// one atomic flag and shown to the handler with another once its name is complete.
constexpr std::size_t CleanupSlots = 16;
std::array<std::array<char, PATH_MAX>, CleanupSlots> g_names;
std::array<std::atomic<bool>, CleanupSlots> g_claimed;
std::array<std::atomic<bool>, CleanupSlots> g_used;
constexpr std::array<int, 3> CleanupSignals = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveTemporaryFiles(int signal)
{
    for (std::size_t i = 0; i < CleanupSlots; ++i)
        if (g_used[i].load())
            unlink(g_names[i].data());
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Installs the handler where the signal still has its default action (a host with handlers of
// its own keeps them).
void InstallHandlers()
{
    static const bool installed = []
    {
        for (int signal : CleanupSignals)
        {
            struct sigaction current
            {
            };
            if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            {
                struct sigaction action
                {
                };
                action.sa_handler = RemoveTemporaryFiles;
                sigemptyset(&action.sa_mask);
                sigaction(signal, &action, nullptr);
            }
        }
        return true;
    }();
    (void)installed;
}
} // namespace

CqzRemoveOnSignal::~CqzRemoveOnSignal()
{
    Release();
}

void CqzRemoveOnSignal::Claim(const std::string& name)
{
    InstallHandlers();
    for (std::size_t i = 0; i < CleanupSlots && name.size() < PATH_MAX; ++i)
    {
        bool expected = false;
        if (g_claimed[i].compare_exchange_strong(expected, true))
        {
            std::memcpy(g_names[i].data(), name.c_str(), name.size() + 1);
            g_used[i].store(true);
            m_slot = static_cast<int>(i);
            return;
        }
    }
}

void CqzRemoveOnSignal::Release()
{
    if (m_slot < 0)
        return;
    g_used[static_cast<std::size_t>(m_slot)].store(false);
    g_claimed[static_cast<std::size_t>(m_slot)].store(false);
    m_slot = -1;
}

void CqzRemoveOnSignal::PauseAt(const char* point)
{
    const char* wanted = std::getenv("QZFILTER_PAUSE_AT");
    if (wanted == nullptr || std::strcmp(wanted, point) != 0)
        return;
    const std::string line = std::string("qzfilter: paused at ") + point + "\n";
    if (write(STDERR_FILENO, line.data(), line.size()) < 0)
        return;
    for (;;)
        pause();
}
