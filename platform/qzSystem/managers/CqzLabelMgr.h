#pragma once
// The process-wide register of labels, by identifier and by name. Registration, removal and
// both lookups take constant time; a capture may hold a hundred thousand labels. A removal
// leaves a hole in the order of addition, closed in one pass by the next reader of that order.

#include "qzSystem/labels/CqzLabel.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CqzLabelMgr
{
public:
    static CqzLabelMgr& Instance();

    // Adds the label, or replaces the one with the same identifier. Returns the stored label.
    const CqzLabel* AddLabel(const CqzLabel& label);
    bool RemoveLabel(const CqzID& labelID);
    // The label with this identifier, or null.
    const CqzLabel* IDToLabel(const CqzID& labelID) const;
    // The first label with this name (exact, case-sensitive), or null.
    const CqzLabel* NameToLabel(const CString& name) const;
    // All labels in the order they were first added.
    std::vector<const CqzLabel*> GetLabels() const;
    int GetLabelCount() const { return static_cast<int>(m_byID.size()); }
    // The label at this place in that order (no range check).
    const CqzLabel* GetLabelAt(int index) const
    {
        CloseHoles();
        ++m_visits;
        return m_labels[static_cast<std::size_t>(index)].get();
    }
    void Reset();
    // Labels looked at one by one (in listings and removals) since the last Reset: an
    // operation count that shows whether a caller's use of the register is linear.
    std::uint64_t GetVisitCount() const { return m_visits; }

private:
    CqzLabelMgr() = default;
    void IndexName(CqzLabel* label);
    void UnindexName(const CqzLabel* label);
    void CloseHoles() const
    {
        if (m_holes > 0)
            CloseHolesNow();
    }
    void CloseHolesNow() const;

    struct SqzEntry
    {
        CqzLabel* label;
        // Order of first addition: among labels of one name the earliest answers.
        std::uint64_t sequence;
        std::size_t slot; // place in m_labels
    };

    // In order of addition; a removed label leaves a null slot until the holes are closed.
    mutable std::vector<std::unique_ptr<CqzLabel>> m_labels;
    mutable std::unordered_map<CqzID, SqzEntry> m_byID;
    mutable std::size_t m_holes = 0;
    std::uint64_t m_nextSequence = 0;
    mutable std::uint64_t m_visits = 0;
    // Labels sharing a name, in the order they were added (almost always one).
    std::unordered_map<CString, std::vector<CqzLabel*>> m_byName;
};
