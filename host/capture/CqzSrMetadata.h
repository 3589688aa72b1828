#pragma once
// The `metadata` entry of a logic session archive (format versions 1 and 2): an INI text whose
// first device section names the logic data entry, the unit size, the probes and the sample
// rate. Parse checks every value and bound; malformed text throws CqzCaptureError at
// "file:metadata:line". Owned by the session importer for one import.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CqzSrMetadata
{
public:
    static constexpr int kMaxUnitSize = 16; // bytes of one sample: up to 128 channels

    void Parse(std::string_view text, const std::string& file);

    // The base name of the logic data entries ("logic-1").
    const std::string& GetCaptureFile() const { return m_captureFile; }
    int GetUnitSize() const { return m_unitSize; }
    std::uint64_t GetSampleRate() const { return m_sampleRate; }
    // Channel names from channel 0 on; unnamed or number-only probes are called D<channel>.
    const std::vector<std::string>& GetChannelNames() const { return m_names; }
    // Names of the analog channels of the device (not imported), in the order given.
    const std::vector<std::string>& GetAnalogNames() const { return m_analog; }
    // What was repaired while reading, for the import's notes.
    const std::vector<std::string>& GetNotes() const { return m_notes; }

private:
    void Set(const std::string& key, const std::string& value, std::int64_t line);
    void Finish();
    void FitProbesToUnit();
    [[noreturn]] void Fail(std::int64_t line, const std::string& what) const;

    std::string m_file;
    std::string m_captureFile;
    int m_unitSize = 0;
    int m_probes = -1;
    std::uint64_t m_sampleRate = 0;
    std::vector<std::pair<int, std::string>> m_probeNames; // probe number (1 on), name
    std::vector<std::string> m_names;
    std::vector<std::string> m_analog;
    std::vector<std::string> m_notes;
};
