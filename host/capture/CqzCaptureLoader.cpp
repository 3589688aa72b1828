#include "capture/CqzCaptureLoader.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCsvImporter.h"
#include "capture/CqzSrImporter.h"
#include "capture/CqzVcdImporter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

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
} // namespace

EqzCaptureFormat CqzCaptureLoader::DetectFormat(const std::string& path)
{
    const std::string ext = Extension(path);
    if (ext == "vcd")
        return eqzCaptureVcd;
    if (ext == "csv" || ext == "tsv" || ext == "txt")
        return eqzCaptureCsv;
    if (ext == "sr")
        return eqzCaptureSr;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw CqzCaptureError(path, 0, std::string("cannot open: ") + std::strerror(errno));
    char head[4096] = {};
    file.read(head, sizeof head);
    const std::string_view text(head, static_cast<std::size_t>(file.gcount()));
    if (text.starts_with("PK\x03\x04"))
        return eqzCaptureSr;
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
    default:
        return CqzCsvImporter(options).ImportFile(path);
    }
}
