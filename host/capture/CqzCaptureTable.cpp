#include "capture/CqzCaptureTable.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureGate.h"
#include "capture/CqzCaptureLabelID.h"
#include "capture/CqzCaptureMemory.h"
#include "capture/CqzCaptureText.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/data/CqzSampleStore.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzMemoryBudget.h"
#include "qzSystem/managers/CqzMemoryLimitError.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace
{
// What a label costs besides its rows (label, column, store and name records), for estimates.
constexpr std::uint64_t kColumnBytes = 1024;

// Bits of store a row of a label takes (one-bit values are packed eight to a byte).
std::uint64_t BitsPerRow(EqzLabelType type, int width)
{
    if (type == eqzLabelString)
        return 32; // the text's number
    if (type == eqzLabelTime || type == eqzLabelSampleNumber)
        return 64;
    if (width == 1)
        return 1;
    return 8 * (width <= 8 ? 1 : width <= 16 ? 2 : width <= 32 ? 4 : width <= 64 ? 8 : 16);
}

std::uint64_t Saturated(unsigned __int128 bytes)
{
    return bytes > ~std::uint64_t{0} ? ~std::uint64_t{0} : static_cast<std::uint64_t>(bytes);
}
} // namespace

struct CqzCaptureTable::SqzImp
{
    SqzCaptureOptions options;
    std::string file;
    // The run's budget, or one of the import's own.
    std::unique_ptr<CqzMemoryBudget> ownBudget;
    CqzMemoryBudget* budget = nullptr;
    std::unique_ptr<CqzData> owned = std::make_unique<CqzData>();
    // The data set, owned here or by the gate of an import on a worker.
    CqzData* data = owned.get();
    CqzDataTable* table = nullptr;
    bool released = false;
    // The labels this import registered, each with the label of the same identifier it
    // replaced (an earlier import of a capture with that label name), restored on failure.
    std::vector<std::pair<CqzID, std::optional<CqzLabel>>> labels;
    std::unordered_set<CString> names;
    std::unordered_map<int, CString> nameOfColumn;
    std::uint64_t rowBits = 0;
    std::vector<std::shared_ptr<CqzSampleStore>> textStores;
    // Per column: its store, and whether its last value had x or z digits.
    std::vector<CqzSampleStore*> stores;
    std::vector<char> digitsOpen;

    // Per name taken: the suffix the next label of that name tries first, so that many
    // labels of one name cost a probe each, not one per earlier label.
    std::unordered_map<CString, int> nextSuffix;
    std::int64_t nameProbes = 0;

    CString UniqueName(const std::string& utf8)
    {
        const CString base = CString::FromUtf8(utf8.empty() ? std::string("unnamed")
                                                            : CqzCaptureText::Printable(utf8));
        CString name = base;
        int& next = nextSuffix.try_emplace(base, 2).first->second;
        for (int n = next; ++nameProbes, names.count(name); ++n)
        {
            name = base;
            name.AppendFormat(L"_%d", n);
            next = n + 1;
        }
        return name;
    }
};

CqzCaptureTable::CqzCaptureTable(const SqzCaptureOptions& options, const std::string& file)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->options = options;
    m_imp->file = file;
    if (options.budget == nullptr)
    {
        const CqzCaptureMemory::SqzLimit limit = CqzCaptureMemory::Limit(options);
        m_imp->ownBudget = std::make_unique<CqzMemoryBudget>(limit.bytes, limit.source);
    }
    m_imp->budget = options.budget != nullptr ? options.budget : m_imp->ownBudget.get();
    m_imp->table = m_imp->data->AddTable();
    if (options.gate)
        options.gate->Adopt(std::move(m_imp->owned));
    AddLabel(eqzLabelTime, "Time", 64);
}

CqzCaptureTable::~CqzCaptureTable()
{
    if (m_imp->released)
        return;
    m_imp->textStores.clear();
    m_imp->owned.reset();
    auto withdraw = [labels = std::move(m_imp->labels)]
    {
        CqzLabelMgr& manager = CqzLabelMgr::Instance();
        for (auto it = labels.rbegin(); it != labels.rend(); ++it)
            if (it->second)
                manager.AddLabel(*it->second);
            else
                manager.RemoveLabel(it->first);
    };
    // The gate's readers may still look at the data set and its labels.
    if (m_imp->options.gate)
        m_imp->options.gate->SetCleanup(std::move(withdraw));
    else
        withdraw();
}

std::int64_t CqzCaptureTable::GetNameProbes() const
{
    return m_imp->nameProbes;
}

int CqzCaptureTable::AddLabel(EqzLabelType type, const std::string& name, int width)
{
    const CString unique = m_imp->UniqueName(name);
    const CqzID id = CqzCaptureLabelID::Make(m_imp->options.sourceID, unique);
    std::optional<CqzLabel> replaced;
    if (const CqzLabel* earlier = CqzLabelMgr::Instance().IDToLabel(id))
        replaced = *earlier;
    const int column =
        m_imp->table->AddLabelColumn(type, unique, width, id, m_imp->options.sourceID);
    if (column < 0)
        return -1;
    m_imp->labels.emplace_back(id, std::move(replaced));
    m_imp->names.insert(unique);
    m_imp->nameOfColumn.emplace(column, unique);
    m_imp->rowBits += BitsPerRow(type, width);
    if (m_imp->stores.size() <= static_cast<std::size_t>(column))
    {
        m_imp->stores.resize(static_cast<std::size_t>(column) + 1);
        m_imp->digitsOpen.resize(static_cast<std::size_t>(column) + 1);
    }
    m_imp->stores[static_cast<std::size_t>(column)] =
        m_imp->table->GetColumnAt(column)->GetSampleStore();
    if (type == eqzLabelString)
        m_imp->textStores.push_back(m_imp->table->GetColumnAt(column)->GetSharedSampleStore());
    return column;
}

const CString& CqzCaptureTable::GetName(int column) const
{
    static const CString none;
    auto it = m_imp->nameOfColumn.find(column);
    return it == m_imp->nameOfColumn.end() ? none : it->second;
}

void CqzCaptureTable::SetBits(int column, std::int64_t row, const CqzUInt& value,
                              const CqzUInt& unknown, const CqzUInt& floating)
{
    const auto c = static_cast<std::size_t>(column);
    m_imp->stores[c]->SetValue(row, value);
    const bool open = !unknown.IsZero() || !floating.IsZero();
    if (open || m_imp->digitsOpen[c])
        m_imp->table->SetUnknownDigits(column, unknown, floating);
    m_imp->digitsOpen[c] = open;
}

void CqzCaptureTable::SetValues(int column, std::int64_t first, const std::uint64_t* values,
                                std::int64_t count)
{
    m_imp->table->SetValues(column, first, values, count);
    m_imp->digitsOpen[static_cast<std::size_t>(column)] = false;
}

void CqzCaptureTable::Note(const std::string& text) const
{
    if (m_imp->options.note)
        m_imp->options.note(m_imp->file + ": " + text);
}

void CqzCaptureTable::CheckMemory(std::int64_t rows, bool fixedRate) const
{
    const auto count = static_cast<std::uint64_t>(rows < 0 ? 0 : rows);
    unsigned __int128 rowBits = m_imp->rowBits;
    // The time column stores nothing while its rows keep a fixed rate.
    const std::shared_ptr<CqzSampleStore> times = m_imp->table->GetTimeStore();
    if (times && times->GetEntries().IsProgression() && (fixedRate || times->GetCount() > 0))
        rowBits -= BitsPerRow(eqzLabelTime, 64);
    unsigned __int128 need = (rowBits * count + 7) / 8 + kColumnBytes * m_imp->labels.size();
    for (const auto& store : m_imp->textStores)
        need += store->GetStrings().GetPoolSize() * sizeof(wchar_t) +
                store->GetStrings().GetTextCount() * 48;
    const auto run = static_cast<unsigned __int128>(m_imp->options.runBytesPerRow) * count;
    try
    {
        m_imp->budget->SetAside(CqzMemoryBudget::OutputPages, Saturated(run));
        m_imp->budget->Hold("the capture", Saturated(need),
                            "for " + std::to_string(count) + " rows of " +
                                std::to_string(m_imp->labels.size()) + " labels");
    }
    catch (const CqzMemoryLimitError& error)
    {
        throw CqzCaptureError(m_imp->file, 0, error.what());
    }
}

CqzDataTable& CqzCaptureTable::GetTable() const
{
    return *m_imp->table;
}

std::int64_t CqzCaptureTable::AppendRow(std::int64_t time)
{
    const std::int64_t row = m_imp->table->AppendRow(time);
    CheckAppend(row, 1);
    return row;
}

void CqzCaptureTable::CheckAppend(std::int64_t first, std::int64_t count) const
{
    constexpr std::int64_t CheckEvery = 1 << 16;
    const std::int64_t end = first + count;
    if (count > 0 && end / CheckEvery != first / CheckEvery)
        CheckMemory(end / CheckEvery * CheckEvery + CheckEvery - 1);
}

std::unique_ptr<CqzData> CqzCaptureTable::Release()
{
    // The budget holds the table as delivered, also where the importer checked only every
    // block of rows.
    CheckMemory(m_imp->table->GetRowCount());
    m_imp->data->SetDataValid(true);
    m_imp->textStores.clear();
    m_imp->released = true;
    return std::move(m_imp->owned);
}
