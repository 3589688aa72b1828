#include "CqzOutputFile.h"

#include "CqzHostError.h"
#include "qzSystem/persist/CqzFileWriter.h"
#include "qzSystem/persist/CqzPersistenceException.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

CqzOutputFile::CqzOutputFile(const std::string& path, const std::string& what)
{
    try
    {
        m_writer = std::make_unique<CqzFileWriter>(path, what);
    }
    catch (const CqzPersistenceException& error)
    {
        throw CqzHostError(eqzExitFile, error.what());
    }
}

CqzOutputFile::~CqzOutputFile() = default;

std::ostream& CqzOutputFile::Stream()
{
    return m_writer->Stream();
}

void CqzOutputFile::Commit()
{
    try
    {
        m_writer->Commit();
    }
    catch (const CqzPersistenceException& error)
    {
        throw CqzHostError(eqzExitFile, error.what());
    }
}

void CqzOutputFile::Write(const std::string& path, const std::string& what,
                          const std::string& bytes)
{
    CqzOutputFile file(path, what);
    file.Stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.Commit();
}

void CqzOutputFile::CheckWritable(const std::string& path, const std::string& what)
{
    namespace fs = std::filesystem;
    const auto refuse = [&](const std::string& reason)
    { throw CqzHostError(eqzExitFile, "cannot write the " + what + " '" + path + "': " + reason); };
    std::error_code error;
    if (path.empty())
        refuse("the name is empty");
    const fs::path file(CqzFileWriter::Resolve(path));
    if (fs::is_directory(file, error))
        refuse("it is a folder");
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error))
        refuse("there is no folder '" + folder.string() + "'");
    // The new file is made in the folder and renamed over the old one: the folder must be
    // writable, and so must an old file (a read-only one is not replaced).
    if (access(folder.c_str(), W_OK) != 0 ||
        (fs::exists(file, error) && access(file.c_str(), W_OK) != 0))
        refuse(std::strerror(errno));
}

void CqzOutputFile::CheckNotInput(const std::vector<std::pair<std::string, std::string>>& outputs,
                                  const std::vector<std::string>& inputs)
{
    for (const auto& [output, what] : outputs)
    {
        struct stat out
        {
        };
        if (output.empty() || stat(output.c_str(), &out) != 0)
            continue;
        for (const std::string& input : inputs)
        {
            struct stat in
            {
            };
            // "-" is standard input, which may be redirected from the output file.
            const int found = input == "-" ? fstat(STDIN_FILENO, &in) : stat(input.c_str(), &in);
            if (!input.empty() && found == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
                throw CqzHostError(eqzExitFile, "the " + what + " '" + output + "' is the input '" +
                                                    input + "' of this run; it is not overwritten");
        }
    }
}
