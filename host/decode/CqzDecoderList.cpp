#include "CqzDecoderList.h"

#include "CqzDecodeLibrary.h"
#include "CqzDecoderInfo.h"

#include <ostream>

namespace
{
std::string Join(const std::vector<std::string>& items, const char* separator = ", ")
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

std::string Options(const CqzDecoderInfo& info)
{
    std::vector<std::string> options;
    for (const SqzDecoderOption& option : info.GetOptions())
        options.push_back(option.id + "=" + option.defaultValue +
                          (option.values.empty() ? "" : " (" + Join(option.values, "|") + ")"));
    return Join(options);
}
} // namespace

void CqzDecoderList::Write(std::ostream& out)
{
    constexpr std::size_t kIndent = 16;
    const std::string indent(kIndent, ' ');
    for (const srd_decoder* decoder : CqzDecodeLibrary::Instance().LoadAll())
    {
        const CqzDecoderInfo info(*decoder);
        const std::string& id = info.GetID();
        out << id << std::string(id.size() < kIndent ? kIndent - id.size() : 1, ' ')
            << info.GetName() << "\n";
        if (!info.GetChannels().empty() || !info.GetOptionalChannels().empty())
            out << indent << "channels: " << Join(info.GetChannels())
                << (info.GetOptionalChannels().empty()
                        ? ""
                        : (info.GetChannels().empty() ? "" : "; ") + std::string("optional: ") +
                              Join(info.GetOptionalChannels()))
                << "\n";
        else
            out << indent << "stacks on: " << Join(info.GetInputs()) << "\n";
        if (!info.GetOptions().empty())
            out << indent << "options: " << Options(info) << "\n";
    }
}
