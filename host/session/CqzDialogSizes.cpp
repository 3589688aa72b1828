#include "CqzDialogSizes.h"

#include "CqzHostError.h"
#include "CqzOutputFile.h"
#include "CqzTerminalText.h"

#include "qzSystem/managers/CqzOptionsMgr.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

std::string CqzDialogSizes::PathBeside(const std::string& favorites)
{
    return (std::filesystem::path(favorites).parent_path() / "dialog-sizes.txt").string();
}

std::string CqzDialogSizes::DefaultPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const std::string folder = config != nullptr && *config != '\0'
                                   ? std::string(config)
                                   : std::string(home != nullptr ? home : ".") + "/.config";
    return folder + "/qzfilter/dialog-sizes.txt";
}

std::string CqzDialogSizes::Load(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::pair<std::string, CSize>> sizes;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number)
    {
        std::istringstream words(line);
        std::string name;
        long width = 0;
        long height = 0;
        std::string more;
        if (!(words >> name))
            continue;
        const char* reason = nullptr;
        if (!(words >> width >> height) || words >> more)
            reason = "is not 'NAME WIDTH HEIGHT'";
        else if (width <= 0 || height <= 0 || width >= 100000 || height >= 100000)
            reason = "gives a size outside 1 to 99999 pixels";
        if (reason != nullptr)
            return "note: " + CqzTerminalText::Sanitize(path) + ":" + std::to_string(number) +
                   ": the line " + reason +
                   "; the file is left out and the dialogs open at their own sizes";
        sizes.emplace_back(name, CSize(width, height));
    }
    for (const auto& [name, size] : sizes)
        CqzOptionsMgr::Instance().SetDialogSize(CString::FromUtf8(name), size);
    return "";
}

bool CqzDialogSizes::Save(const std::string& path)
{
    const auto& sizes = CqzOptionsMgr::Instance().GetDialogSizes();
    if (sizes.empty())
        return true;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    try
    {
        CqzOutputFile file(path, "dialog sizes");
        for (const auto& [name, size] : sizes)
            file.Stream() << name.ToUtf8() << ' ' << size.cx << ' ' << size.cy << '\n';
        file.Commit();
        return true;
    }
    catch (const CqzHostError&)
    {
        return false;
    }
}
