#pragma once
// The protocol decoder library of the process: started once on first use (it starts the
// embedded Python interpreter, which then lives until the process ends), its decoders loaded
// on demand, and its log kept so that an error can be shown with what the library said. One
// instance per process (Instance()); decodes run one at a time.

#include <string>
#include <vector>

struct srd_decoder;

class CqzDecodeLibrary
{
public:
    static CqzDecodeLibrary& Instance();

    // The decoder with this identifier, loaded; throws CqzDecodeError for an unknown one.
    const srd_decoder& Load(const std::string& id);
    // Every installed decoder, loaded, by identifier.
    std::vector<const srd_decoder*> LoadAll();

    // Starts a fresh log; TakeLog answers the first error logged since (for a decoder that
    // raised: its exception and message; the traceback is left out), empty without one.
    void ClearLog();
    std::string TakeLog();

private:
    CqzDecodeLibrary();
    ~CqzDecodeLibrary() = default;
    CqzDecodeLibrary(const CqzDecodeLibrary&) = delete;
    CqzDecodeLibrary& operator=(const CqzDecodeLibrary&) = delete;

    std::vector<std::string> Installed() const;

    std::string m_log;
};
