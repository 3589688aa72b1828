#include "qzSystem/managers/CqzHelpMgr.h"

#include "qzSystem/managers/CqzInfoMgr.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace
{
bool HasDesktop()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && std::strncmp(platform, "offscreen", 9) == 0)
        return false;
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

// Starts the desktop's opener on the page without waiting for it.
void OpenInBrowser(const std::string& path)
{
    char opener[] = "xdg-open";
    std::string page = path;
    char* argv[] = {opener, page.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, opener, nullptr, nullptr, argv, environ) == 0)
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
}
} // namespace

CqzHelpMgr& CqzHelpMgr::Instance()
{
    static CqzHelpMgr instance;
    return instance;
}

CqzHelpMgr::CqzHelpMgr()
{
    Reset();
}

void CqzHelpMgr::Reset()
{
    m_folder = CString(QZ_HELP_DIR);
    m_browser = true;
    m_topics.clear();
}

bool CqzHelpMgr::DisplayHelpTopic(const CString& topic)
{
    m_topics.push_back(topic);
    const std::filesystem::path page =
        std::filesystem::path(m_folder.ToUtf8()) / std::filesystem::path(topic.ToUtf8()).filename();
    if (topic.IsEmpty() || !std::filesystem::is_regular_file(page))
    {
        CqzInfoMgr::Instance().LogMessage(L"Help topic not found: " + topic, eqzLogWarning);
        return false;
    }
    if (m_browser && HasDesktop())
        OpenInBrowser(page.string());
    else
        CqzInfoMgr::Instance().LogMessage(L"Help topic: " + topic, eqzLogInfo);
    return true;
}
