#include "CqzDecodeStack.h"

#include "CqzDecodeError.h"
#include "CqzDecodeLibrary.h"
#include "CqzDecodeSamples.h"
#include "CqzDecoderInfo.h"

#include <libsigrokdecode/libsigrokdecode.h>

#include <algorithm>
#include <csignal>

namespace
{
constexpr std::uint64_t kChunkSamples = 1 << 20;

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int)
{
    g_interrupted = 1;
}

// SIGINT stops the decoding (between chunks) instead of the process while it is installed.
class CqzInterruptGuard
{
public:
    CqzInterruptGuard()
    {
        g_interrupted = 0;
        struct sigaction action = {};
        action.sa_handler = &OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_previous);
    }
    ~CqzInterruptGuard() { sigaction(SIGINT, &m_previous, nullptr); }
    CqzInterruptGuard(const CqzInterruptGuard&) = delete;
    CqzInterruptGuard& operator=(const CqzInterruptGuard&) = delete;

private:
    struct sigaction m_previous = {};
};

// A hash table of the library's kind: text keys, variant values, both owned.
GHashTable* NewVariantTable()
{
    return g_hash_table_new_full(g_str_hash, g_str_equal, g_free,
                                 reinterpret_cast<GDestroyNotify>(g_variant_unref));
}

struct SqzStage
{
    SqzDecodeStage argument;
    const srd_decoder* decoder;
    CqzDecoderInfo info;
};
} // namespace

struct CqzDecodeStack::SqzImp
{
    const CqzDataTable& capture;
    std::vector<SqzStage> stages;
    // The first stage's channels: decoder channel and capture label.
    std::vector<std::pair<std::string, std::string>> channels;
    srd_session* session = nullptr;
    std::vector<srd_decoder_inst*> instances;
    std::vector<SqzDecodedAnnotations> results;

    explicit SqzImp(const CqzDataTable& table) : capture(table) {}

    [[noreturn]] void Fail(const SqzStage& stage, const std::string& what, int code = SRD_OK) const
    {
        std::string log = CqzDecodeLibrary::Instance().TakeLog();
        throw CqzDecodeError("decoder '" + stage.argument.id + "': " + what +
                             (code != SRD_OK ? std::string(" (") + srd_strerror(code) + ")" : "") +
                             (log.empty() ? "" : ": " + log));
    }

    void Check(SqzStage& stage, bool first)
    {
        for (const auto& [key, value] : stage.argument.settings)
            if (stage.info.HasChannel(key) && first)
                channels.emplace_back(key, value);
            else if (stage.info.FindOption(key) == nullptr)
                Fail(stage,
                     "no channel or option '" + key + "' (" + stage.info.DescribeKeys() + ")");
        for (const std::string& channel : stage.info.GetChannels())
            if (std::none_of(channels.begin(), channels.end(),
                             [&](const auto& given) { return given.first == channel; }))
                Fail(stage, "the channel '" + channel + "' is required: give it as " +
                                stage.argument.id + ":" + channel + "=LABEL (" +
                                stage.info.DescribeKeys() + ")");
    }

    void CheckStacking(const SqzStage& below, const SqzStage& above) const
    {
        for (const std::string& output : below.info.GetOutputs())
            for (const std::string& input : above.info.GetInputs())
                if (input == output)
                    return;
        Fail(above,
             "cannot be stacked on '" + below.argument.id + "' (it takes " +
                 (above.info.GetInputs().empty() ? "nothing" : above.info.GetInputs().front()) +
                 ", '" + below.argument.id + "' gives " +
                 (below.info.GetOutputs().empty() ? "nothing" : below.info.GetOutputs().front()) +
                 ")");
    }

    srd_decoder_inst* NewInstance(const SqzStage& stage)
    {
        GHashTable* options = NewVariantTable();
        try
        {
            for (const auto& [key, value] : stage.argument.settings)
                if (const SqzDecoderOption* option = stage.info.FindOption(key))
                    g_hash_table_insert(options, g_strdup(key.c_str()),
                                        stage.info.MakeValue(*option, value));
        }
        catch (...)
        {
            g_hash_table_destroy(options);
            throw;
        }
        srd_decoder_inst* instance = srd_inst_new(session, stage.argument.id.c_str(), options);
        g_hash_table_destroy(options);
        if (instance == nullptr)
            Fail(stage, "the decoder refuses its options");
        return instance;
    }

    void SetChannels(const SqzStage& stage, srd_decoder_inst* instance)
    {
        GHashTable* map = NewVariantTable();
        for (std::size_t i = 0; i < channels.size(); ++i)
            g_hash_table_insert(map, g_strdup(channels[i].first.c_str()),
                                g_variant_ref_sink(g_variant_new_int32(static_cast<int>(i))));
        const int code = srd_inst_channel_set_all(instance, map);
        g_hash_table_destroy(map);
        if (code != SRD_OK)
            Fail(stage, "the decoder refuses its channels", code);
    }

    static void OnAnnotation(srd_proto_data* data, void* self)
    {
        auto* imp = static_cast<SqzImp*>(self);
        const auto it = std::find(imp->instances.begin(), imp->instances.end(), data->pdo->di);
        if (it == imp->instances.end())
            return;
        const auto* annotation = static_cast<const srd_proto_data_annotation*>(data->data);
        SqzDecodedAnnotations& result =
            imp->results[static_cast<std::size_t>(it - imp->instances.begin())];
        result.annotations.push_back(
            {data->start_sample, data->end_sample, annotation->ann_class,
             annotation->ann_text && annotation->ann_text[0] ? annotation->ann_text[0] : ""});
    }

    void Start(std::uint64_t rate)
    {
        CqzDecodeLibrary::Instance().ClearLog();
        if (const int code = srd_session_new(&session); code != SRD_OK)
            Fail(stages.front(), "no decoding session", code);
        for (std::size_t i = 0; i < stages.size(); ++i)
        {
            instances.push_back(NewInstance(stages[i]));
            if (i == 0)
                SetChannels(stages[i], instances[i]);
            else if (const int code = srd_inst_stack(session, instances[i - 1], instances[i]);
                     code != SRD_OK)
                Fail(stages[i], "cannot be stacked", code);
            results.push_back(
                {stages[i].decoder, stages[i].info.GetClasses(), Format(stages[i]), {}});
        }
        srd_pd_output_callback_add(session, SRD_OUTPUT_ANN, &OnAnnotation, this);
        srd_session_metadata_set(session, SRD_CONF_SAMPLERATE, g_variant_new_uint64(rate));
        if (const int code = srd_session_start(session); code != SRD_OK)
            Fail(stages.front(), "does not start", code);
    }

    static std::string Format(const SqzStage& stage)
    {
        const SqzDecoderOption* option = stage.info.FindOption("format");
        if (option == nullptr)
            return {};
        for (const auto& [key, value] : stage.argument.settings)
            if (key == "format")
                return value;
        return option->defaultValue;
    }

    // The stage a decoder thread's error names (its instance, "spiflash-1"), else the first.
    const SqzStage& Culprit(const std::string& log) const
    {
        for (std::size_t i = instances.size(); i-- > 0;)
            if (log.find(instances[i]->inst_id) != std::string::npos)
                return stages[i];
        return stages.front();
    }

    // Ends the decoder threads, so that what they logged on the way out is in the log, and
    // fails naming the decoder that raised.
    void StopAndCheck(int code, std::uint64_t sample)
    {
        srd_session_terminate_reset(session);
        const std::string log = CqzDecodeLibrary::Instance().TakeLog();
        if (code == SRD_OK && log.empty())
            return;
        throw CqzDecodeError("decoder '" + Culprit(log).argument.id + "': stopped with an error" +
                             (code != SRD_OK ? " at sample " + std::to_string(sample) : "") +
                             (log.empty() ? "" : ": " + log));
    }

    void Feed(CqzDecodeSamples& samples, const SqzDecodeRequest& request)
    {
        const CqzInterruptGuard guard;
        const std::uint64_t total = samples.GetSampleCount();
        std::vector<std::uint8_t> chunk;
        for (std::uint64_t first = 0; first < total; first += kChunkSamples)
        {
            const std::uint64_t count = std::min(kChunkSamples, total - first);
            samples.Fill(first, count, chunk);
            const int code =
                srd_session_send(session, first, first + count, chunk.data(), chunk.size(),
                                 static_cast<std::uint64_t>(samples.GetUnitSize()));
            if (code != SRD_OK)
                StopAndCheck(code, first);
            if (g_interrupted != 0 || (request.progress && !request.progress(first + count, total)))
                throw CqzDecodeError("decoding interrupted (" + stages.front().argument.id + ")");
        }
        // A decoder that failed in its own thread has said so in the log.
        StopAndCheck(SRD_OK, total);
    }
};

CqzDecodeStack::CqzDecodeStack(const std::string& argument, const CqzDataTable& capture)
    : m_imp(std::make_unique<SqzImp>(capture))
{
    for (SqzDecodeStage& stage : CqzDecodeArgument::Parse(argument))
    {
        const srd_decoder& decoder = CqzDecodeLibrary::Instance().Load(stage.id);
        m_imp->stages.push_back({std::move(stage), &decoder, CqzDecoderInfo(decoder)});
    }
    for (std::size_t i = 0; i < m_imp->stages.size(); ++i)
    {
        m_imp->Check(m_imp->stages[i], i == 0);
        if (i > 0)
            m_imp->CheckStacking(m_imp->stages[i - 1], m_imp->stages[i]);
    }
}

CqzDecodeStack::~CqzDecodeStack()
{
    if (m_imp->session != nullptr)
        srd_session_destroy(m_imp->session);
}

std::vector<std::string> CqzDecodeStack::GetDecoderIDs() const
{
    std::vector<std::string> ids;
    for (const SqzStage& stage : m_imp->stages)
        ids.push_back(stage.argument.id);
    return ids;
}

std::vector<SqzDecodedAnnotations> CqzDecodeStack::Run(const CqzSampleClock& clock,
                                                       const SqzDecodeRequest& request)
{
    std::vector<std::string> labels;
    for (const auto& channel : m_imp->channels)
        labels.push_back(channel.second);
    std::unique_ptr<CqzDecodeSamples> samples;
    try
    {
        samples = std::make_unique<CqzDecodeSamples>(m_imp->capture, labels, clock);
    }
    catch (const CqzDecodeError& error)
    {
        m_imp->Fail(m_imp->stages.front(), error.what());
    }
    m_imp->Start(clock.GetRate());
    m_imp->Feed(*samples, request);
    return std::move(m_imp->results);
}
