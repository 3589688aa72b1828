#include "capture/CqzCaptureLoader.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCsvImporter.h"
#include "capture/CqzFstImporter.h"
#include "capture/CqzFstLayout.h"
#include "capture/CqzSrImporter.h"
#include "capture/CqzVcdImporter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace
{
std::string Extension(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return ext;
}
// Refuses what is not a file that can be read, before an importer tries.
void CheckReadable(const std::string& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0)
        throw CqzCaptureError(path, 0, std::string("cannot open: ") + std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        throw CqzCaptureError(path, 0, "is a directory, not a capture file");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw CqzCaptureError(path, 0, std::string("cannot open: ") + std::strerror(errno));
}
} // namespace

EqzCaptureFormat CqzCaptureLoader::DetectFormat(const std::string& path)
{
    CheckReadable(path);
    const std::string ext = Extension(path);
    if (ext == "vcd")
        return eqzCaptureVcd;
    if (ext == "csv" || ext == "tsv" || ext == "txt")
        return eqzCaptureCsv;
    if (ext == "sr")
        return eqzCaptureSr;
    if (ext == "fst")
        return eqzCaptureFst;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw CqzCaptureError(path, 0, std::string("cannot open: ") + std::strerror(errno));
    char head[4096] = {};
    file.read(head, sizeof head);
    std::string_view text(head, static_cast<std::size_t>(file.gcount()));
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (text.starts_with("PK\x03\x04"))
        return eqzCaptureSr;
    if (CqzFstLayout::LooksLikeFst(reinterpret_cast<const unsigned char*>(head),
                                   static_cast<std::size_t>(file.gcount())))
        return eqzCaptureFst;
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text[first] == '$' ? eqzCaptureVcd : eqzCaptureCsv;
}

std::unique_ptr<CqzData> CqzCaptureLoader::Load(const std::string& path,
                                                const SqzCaptureOptions& options)
{
    switch (DetectFormat(path))
    {
    case eqzCaptureVcd:
        return CqzVcdImporter(options).ImportFile(path);
    case eqzCaptureSr:
        return CqzSrImporter(options).ImportFile(path);
    case eqzCaptureFst:
        return CqzFstImporter(options).ImportFile(path);
    default:
        return CqzCsvImporter(options).ImportFile(path);
    }
}
