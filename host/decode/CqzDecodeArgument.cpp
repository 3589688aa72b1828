#include "CqzDecodeArgument.h"

#include "CqzDecodeError.h"

namespace
{
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

SqzDecodeStage ReadStage(const std::string& text, const std::string& whole)
{
    const std::vector<std::string> parts = Split(text, ':');
    SqzDecodeStage stage{parts[0], {}};
    if (stage.id.empty())
        throw CqzDecodeError("--decode '" + whole + "': a decoder name is missing");
    for (std::size_t i = 1; i < parts.size(); ++i)
    {
        const std::size_t equals = parts[i].find('=');
        if (equals == std::string::npos || equals == 0)
            throw CqzDecodeError("decoder '" + stage.id + "': '" + parts[i] +
                                 "' is not KEY=VALUE (channel=LABEL or option=value)");
        const std::string key = parts[i].substr(0, equals);
        for (const auto& setting : stage.settings)
            if (setting.first == key)
                throw CqzDecodeError("decoder '" + stage.id + "': '" + key + "' is given twice");
        stage.settings.emplace_back(key, parts[i].substr(equals + 1));
    }
    return stage;
}
} // namespace

std::vector<SqzDecodeStage> CqzDecodeArgument::Parse(const std::string& text)
{
    std::vector<SqzDecodeStage> stages;
    for (const std::string& part : Split(text, ','))
        stages.push_back(ReadStage(part, text));
    return stages;
}
