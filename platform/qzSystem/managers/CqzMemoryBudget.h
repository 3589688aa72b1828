#pragma once
// The memory a run may take, one account shared by the parts that hold its bulk: the capture's
// table while it is imported, the decoders' tables, and the filter's output pages (its
// records). A part says what it will hold before it allocates it, and a change that would take
// the run past the limit throws CqzMemoryLimitError, changes nothing, and names the part, its
// need, what the other parts hold and the limit. A part may also have bytes set aside for it
// (the import sets aside the output the filter will write for its rows): it counts the larger
// of what it holds and what is set aside, so the estimate and the real pages are not both
// counted. Without a limit (0) everything is counted and nothing refused.
//
// Run() is the budget of the host's run: the host sets its limit when it loads a capture and
// clears it when the run ends; the output pages of every data source take from it. Other
// budgets are made by importers used alone and by tests. Thread-safe.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

class CqzMemoryBudget
{
public:
    // The parts that draw on the budget besides the capture and the decoded tables.
    static constexpr const char* OutputPages = "the filter's output";

    CqzMemoryBudget() = default;
    CqzMemoryBudget(std::uint64_t limit, const std::string& source);
    CqzMemoryBudget(const CqzMemoryBudget&) = delete;
    CqzMemoryBudget& operator=(const CqzMemoryBudget&) = delete;

    static CqzMemoryBudget& Run();

    // Sets the limit (0: none) and where it comes from ("QZFILTER_MEMORY_LIMIT", "available
    // (MemAvailable)"), for messages.
    void SetLimit(std::uint64_t bytes, const std::string& source);
    std::uint64_t GetLimit() const;
    // Forgets every part and the limit.
    void Clear();

    // `part` holds `bytes` from now on; `purpose` follows the figure in a refusal ("for 10 rows
    // of 3 labels").
    void Hold(const std::string& part, std::uint64_t bytes, const std::string& purpose = "");
    // `part` holds `bytes` more, or fewer.
    void Take(const std::string& part, std::uint64_t bytes);
    void Give(const std::string& part, std::uint64_t bytes);
    // Sets aside `bytes` for `part` (see above); checked by the next change of any part.
    void SetAside(const std::string& part, std::uint64_t bytes);
    // What the run counts now: for each part the larger of its holding and what is set aside.
    std::uint64_t GetCounted() const;

    // "512 bytes", "14.2 GiB".
    static std::string Describe(std::uint64_t bytes);
    // A limit and where it comes from, as refusals end: "16.0 KiB are allowed by
    // QZFILTER_MEMORY_LIMIT", "14.2 GiB are available (MemAvailable)".
    static std::string DescribeLimit(std::uint64_t bytes, const std::string& source);

private:
    struct SqzPart
    {
        std::uint64_t held = 0;
        std::uint64_t aside = 0;
    };

    void Change(const std::string& part, std::uint64_t held, const std::string& purpose);
    std::uint64_t CountedWithout(const std::string& part) const;
    std::string Refusal(const std::string& part, std::uint64_t need,
                        const std::string& purpose) const;

    mutable std::mutex m_mutex;
    std::uint64_t m_limit = 0;
    std::string m_source;
    std::map<std::string, SqzPart> m_parts;
};
