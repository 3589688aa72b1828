#include "CqzFavoritesFile.h"

#include "CqzHostError.h"
#include "qzSystem/persist/CqzFileWriter.h"
#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceFile.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;
const wchar_t* const ToolTag = L"Filter";
// Far above what 1024 favourites take; a larger file is not a favourites file.
constexpr std::size_t MaxFileSize = std::size_t(256) << 20;

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

// Holds an exclusive lock on a folder while it lives, so that one read-change-write of a file
// in it runs at a time. The file itself cannot carry the lock: each write replaces it.
class FolderLock
{
public:
    explicit FolderLock(const std::string& folder)
        : m_fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        while (m_fd >= 0 && flock(m_fd, LOCK_EX) != 0 && errno == EINTR)
        {
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            close(m_fd); // releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd;
};

std::vector<Bytes> Slots(const CqzFavorites& favorites)
{
    std::vector<Bytes> slots;
    for (int i = 0; i < favorites.GetCount(); ++i)
        slots.push_back(favorites.GetFavorite(i));
    return slots;
}

void Merge(std::vector<Bytes>& slots, const SqzFavoritesChange& change)
{
    if (!change.stored.empty())
    {
        const auto old = change.replaced.empty()
                             ? slots.end()
                             : std::find(slots.begin(), slots.end(), change.replaced);
        if (old != slots.end())
            *old = change.stored;
        else
            slots.push_back(change.stored);
    }
    for (const Bytes& removed : change.removed)
        if (const auto it = std::find(slots.begin(), slots.end(), removed); it != slots.end())
            slots.erase(it);
}

Bytes Encode(const std::vector<Bytes>& slots, const std::string& path)
{
    CqzFavorites favorites;
    for (const Bytes& slot : slots)
        if (favorites.StoreFavorite(slot, -1) < 0)
            throw CqzHostError(eqzExitFile, "cannot write the favourites file '" + path +
                                                "': it would hold more than " +
                                                std::to_string(CqzFavorites::MaxFavorites) +
                                                " favourites");
    Bytes buffer;
    CqzPersistenceSetup setup(buffer, eqzPersistWrite);
    setup.OpenTag(ToolTag, false);
    favorites.Save(&setup);
    setup.CloseTag(false);
    setup.Close();
    return buffer;
}
} // namespace

CqzFavoritesFile::CqzFavoritesFile(std::string path) : m_path(std::move(path)) {}

std::string CqzFavoritesFile::DefaultPath()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0')
        return std::string(config) + "/qzfilter/favorites.qzs";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/qzfilter/favorites.qzs";
}

CqzFavorites CqzFavoritesFile::Read(std::vector<std::string>& notes) const
{
    std::error_code missing;
    if (!std::filesystem::exists(m_path, missing))
        return {};
    try
    {
        return Decode(CqzPersistenceFile::Read(CString::FromUtf8(m_path), MaxFileSize), m_path,
                      notes);
    }
    catch (const CqzPersistenceException& error)
    {
        throw CqzHostError(eqzExitFile, "the favourites file '" + m_path + "': " + error.what());
    }
}

CqzFavorites CqzFavoritesFile::Decode(std::vector<std::uint8_t> bytes, const std::string& path,
                                      std::vector<std::string>& notes)
{
    CqzFavorites favorites;
    std::vector<std::string> found;
    {
        CqzPersistenceSetup setup(bytes, eqzPersistRead);
        if (setup.OpenTag(ToolTag, false))
        {
            favorites.Load(&setup, &found);
            setup.CloseTag(false);
        }
    }
    // A favourite is a setup of its own: one that does not decode is left out.
    std::vector<int> damaged;
    for (int i = 0; i < favorites.GetCount(); ++i)
        try
        {
            Bytes copy = favorites.GetFavorite(i);
            if (!copy.empty())
                CqzPersistenceSetup probe(copy, eqzPersistRead);
        }
        catch (const CqzPersistenceException& error)
        {
            damaged.push_back(i);
            found.push_back("favourite " + std::to_string(i + 1) + " is damaged (" + error.what() +
                            ") and is left out");
        }
    favorites.Clear(damaged);
    for (const std::string& note : found)
        notes.push_back("the favourites file '" + path + "': " + note);
    return favorites;
}

CqzFavorites CqzFavoritesFile::Apply(const SqzFavoritesChange& change,
                                     std::vector<std::string>& notes) const
{
    const bool changes = !change.stored.empty() || !change.removed.empty();
    if (!changes)
        return Read(notes);
    const std::string target = CqzFileWriter::Resolve(m_path);
    std::error_code error;
    std::filesystem::create_directories(FolderOf(target), error);
    if (error)
        throw CqzHostError(eqzExitFile, "cannot write the favourites file '" + m_path +
                                            "': cannot make its folder: " + error.message());
    const FolderLock lock(FolderOf(target));
    std::vector<Bytes> slots = Slots(Read(notes));
    Merge(slots, change);
    try
    {
        const Bytes bytes = Encode(slots, m_path);
        CqzFileWriter writer(m_path, "favourites file");
        writer.Stream().write(reinterpret_cast<const char*>(bytes.data()),
                              static_cast<std::streamsize>(bytes.size()));
        writer.Commit();
    }
    catch (const CqzPersistenceException& failure)
    {
        throw CqzHostError(eqzExitFile, failure.what());
    }
    CqzFavorites favorites;
    for (const Bytes& slot : slots)
        favorites.StoreFavorite(slot, -1);
    return favorites;
}
