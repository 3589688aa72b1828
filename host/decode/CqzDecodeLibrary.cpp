#include "CqzDecodeLibrary.h"

#include "CqzDecodeError.h"

#include <libsigrokdecode/libsigrokdecode.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace
{
// The library logs from its decoder threads too.
std::mutex g_logMutex;

int KeepLog(void* data, int level, const char* format, va_list args)
{
    if (level > SRD_LOG_ERR)
        return SRD_OK;
    char line[2048];
    std::vsnprintf(line, sizeof line, format, args);
    const std::lock_guard<std::mutex> lock(g_logMutex);
    std::string& log = *static_cast<std::string*>(data);
    if (log.size() < 16384)
        log += std::string(line) + "\n";
    return SRD_OK;
}
} // namespace

CqzDecodeLibrary& CqzDecodeLibrary::Instance()
{
    static CqzDecodeLibrary library;
    return library;
}

CqzDecodeLibrary::CqzDecodeLibrary()
{
    srd_log_callback_set(&KeepLog, &m_log);
    if (const int code = srd_init(nullptr); code != SRD_OK)
        throw CqzDecodeError(std::string("the protocol decoder library does not start: ") +
                             srd_strerror(code) + ": " + TakeLog());
}

std::vector<std::string> CqzDecodeLibrary::Installed() const
{
    std::vector<std::string> ids;
    GSList* paths = srd_searchpaths_get();
    for (const GSList* path = paths; path != nullptr; path = path->next)
    {
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(static_cast<const char*>(path->data), error))
            if (std::filesystem::exists(entry.path() / "pd.py", error))
                ids.push_back(entry.path().filename().string());
    }
    g_slist_free_full(paths, g_free);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

const srd_decoder& CqzDecodeLibrary::Load(const std::string& id)
{
    if (const srd_decoder* loaded = srd_decoder_get_by_id(id.c_str()))
        return *loaded;
    const std::vector<std::string> ids = Installed();
    if (std::find(ids.begin(), ids.end(), id) == ids.end())
        throw CqzDecodeError("unknown decoder '" + id + "' (qzfilter --decode list names the " +
                             std::to_string(ids.size()) + " installed)");
    ClearLog();
    const int code = srd_decoder_load(id.c_str());
    const srd_decoder* decoder = srd_decoder_get_by_id(id.c_str());
    if (code != SRD_OK || decoder == nullptr)
        throw CqzDecodeError("decoder '" + id + "' does not load: " + srd_strerror(code) + ": " +
                             TakeLog());
    return *decoder;
}

std::vector<const srd_decoder*> CqzDecodeLibrary::LoadAll()
{
    std::vector<const srd_decoder*> decoders;
    for (const std::string& id : Installed())
    {
        try
        {
            decoders.push_back(&Load(id));
        }
        catch (const CqzDecodeError&)
        {
            // A decoder that does not load is left out of the list.
        }
    }
    return decoders;
}

void CqzDecodeLibrary::ClearLog()
{
    const std::lock_guard<std::mutex> lock(g_logMutex);
    m_log.clear();
}

std::string CqzDecodeLibrary::TakeLog()
{
    const std::lock_guard<std::mutex> lock(g_logMutex);
    std::string log;
    log.swap(m_log);
    return log.substr(0, log.find('\n'));
}
