#include "CqzOutputFile.h"

#include "CqzHostError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

void CqzOutputFile::CheckWritable(const std::string& path, const std::string& what)
{
    namespace fs = std::filesystem;
    const auto refuse = [&](const std::string& reason)
    { throw CqzHostError(eqzExitFile, "cannot write the " + what + " '" + path + "': " + reason); };
    std::error_code error;
    const fs::path file(path);
    if (path.empty())
        refuse("the name is empty");
    if (fs::is_directory(file, error))
        refuse("it is a folder");
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error))
        refuse("there is no folder '" + folder.string() + "'");
    const bool exists = fs::exists(file, error);
    if (access((exists ? file : folder).c_str(), W_OK) != 0)
        refuse(std::strerror(errno));
}
