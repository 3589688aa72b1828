#pragma once
// What a loaded decoder declares, read into plain values: its channels (required and optional),
// options (with default and allowed values as text), annotation classes, and the protocols it
// takes and gives. Used to check a --decode stage and to list the decoders. Does not own the
// decoder.

#include <string>
#include <vector>

struct srd_decoder;
struct _GVariant;

struct SqzDecoderOption
{
    std::string id;
    std::string description;
    std::string defaultValue;
    std::vector<std::string> values;
    // 's' text, 'x' integer, 'd' number with a fraction.
    char type = 's';
};

class CqzDecoderInfo
{
public:
    explicit CqzDecoderInfo(const srd_decoder& decoder);

    const std::string& GetID() const { return m_id; }
    const std::string& GetName() const { return m_name; }
    const std::vector<std::string>& GetChannels() const { return m_channels; }
    const std::vector<std::string>& GetOptionalChannels() const { return m_optionalChannels; }
    const std::vector<SqzDecoderOption>& GetOptions() const { return m_options; }
    const std::vector<std::string>& GetClasses() const { return m_classes; }
    const std::vector<std::string>& GetInputs() const { return m_inputs; }
    const std::vector<std::string>& GetOutputs() const { return m_outputs; }

    bool HasChannel(const std::string& id) const;
    // The option with this identifier, or null.
    const SqzDecoderOption* FindOption(const std::string& id) const;
    // "channels: clk; optional: miso, mosi, cs; options: cpol, cpha" for messages.
    std::string DescribeKeys() const;
    // A value as the library takes it (a reference the caller owns); throws CqzDecodeError naming
    // the decoder for text that does not fit the option's type or allowed values.
    _GVariant* MakeValue(const SqzDecoderOption& option, const std::string& text) const;

private:
    std::string m_id;
    std::string m_name;
    std::vector<std::string> m_channels;
    std::vector<std::string> m_optionalChannels;
    std::vector<SqzDecoderOption> m_options;
    std::vector<std::string> m_classes;
    std::vector<std::string> m_inputs;
    std::vector<std::string> m_outputs;
};
