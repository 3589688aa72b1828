#include "CqzDecoderInfo.h"

#include "CqzDecodeError.h"

#include <libsigrokdecode/libsigrokdecode.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace
{
std::string ValueText(GVariant* value)
{
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
        return g_variant_get_string(value, nullptr);
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_INT64))
        return std::to_string(g_variant_get_int64(value));
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE))
    {
        std::string text = std::to_string(g_variant_get_double(value));
        text.erase(text.find_last_not_of('0') + 1);
        return text.back() == '.' ? text + "0" : text;
    }
    gchar* printed = g_variant_print(value, FALSE);
    std::string text = printed;
    g_free(printed);
    return text;
}

std::vector<std::string> Texts(const GSList* list)
{
    std::vector<std::string> texts;
    for (; list != nullptr; list = list->next)
        texts.emplace_back(static_cast<const char*>(list->data));
    return texts;
}

std::vector<std::string> ChannelIDs(const GSList* list)
{
    std::vector<std::string> ids;
    for (; list != nullptr; list = list->next)
        ids.emplace_back(static_cast<const srd_channel*>(list->data)->id);
    return ids;
}

std::string Join(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}
} // namespace

CqzDecoderInfo::CqzDecoderInfo(const srd_decoder& decoder)
    : m_id(decoder.id), m_name(decoder.longname ? decoder.longname : decoder.name),
      m_channels(ChannelIDs(decoder.channels)),
      m_optionalChannels(ChannelIDs(decoder.opt_channels)), m_inputs(Texts(decoder.inputs)),
      m_outputs(Texts(decoder.outputs))
{
    for (const GSList* item = decoder.options; item != nullptr; item = item->next)
    {
        const auto* option = static_cast<const srd_decoder_option*>(item->data);
        SqzDecoderOption read{
            option->id, option->desc ? option->desc : "", ValueText(option->def), {}, 's'};
        if (g_variant_is_of_type(option->def, G_VARIANT_TYPE_INT64))
            read.type = 'x';
        else if (g_variant_is_of_type(option->def, G_VARIANT_TYPE_DOUBLE))
            read.type = 'd';
        for (const GSList* value = option->values; value != nullptr; value = value->next)
            read.values.push_back(ValueText(static_cast<GVariant*>(value->data)));
        m_options.push_back(std::move(read));
    }
    for (const GSList* item = decoder.annotations; item != nullptr; item = item->next)
        m_classes.emplace_back(static_cast<char**>(item->data)[0]);
}

bool CqzDecoderInfo::HasChannel(const std::string& id) const
{
    return std::find(m_channels.begin(), m_channels.end(), id) != m_channels.end() ||
           std::find(m_optionalChannels.begin(), m_optionalChannels.end(), id) !=
               m_optionalChannels.end();
}

const SqzDecoderOption* CqzDecoderInfo::FindOption(const std::string& id) const
{
    for (const SqzDecoderOption& option : m_options)
        if (option.id == id)
            return &option;
    return nullptr;
}

std::string CqzDecoderInfo::DescribeKeys() const
{
    std::vector<std::string> options;
    for (const SqzDecoderOption& option : m_options)
        options.push_back(option.id);
    return "channels: " + (m_channels.empty() ? "none" : Join(m_channels)) +
           (m_optionalChannels.empty() ? "" : "; optional: " + Join(m_optionalChannels)) +
           "; options: " + (options.empty() ? "none" : Join(options));
}

GVariant* CqzDecoderInfo::MakeValue(const SqzDecoderOption& option, const std::string& text) const
{
    const std::string where = "decoder '" + m_id + "': option " + option.id + "=" + text;
    GVariant* value = nullptr;
    char* end = nullptr;
    errno = 0;
    if (option.type == 'x')
    {
        const long long number = std::strtoll(text.c_str(), &end, 0);
        if (text.empty() || *end != '\0' || errno != 0)
            throw CqzDecodeError(where + ": not a whole number");
        value = g_variant_new_int64(number);
    }
    else if (option.type == 'd')
    {
        const double number = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || errno != 0)
            throw CqzDecodeError(where + ": not a number");
        value = g_variant_new_double(number);
    }
    else
        value = g_variant_new_string(text.c_str());
    g_variant_ref_sink(value);
    if (!option.values.empty() && std::find(option.values.begin(), option.values.end(),
                                            ValueText(value)) == option.values.end())
    {
        g_variant_unref(value);
        throw CqzDecodeError(where + ": allowed are " + Join(option.values));
    }
    return value;
}
