#pragma once
// The process-wide register of labels, by identifier and by name.

#include "qzSystem/labels/CqzLabel.h"

#include <memory>
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
    void Reset();

private:
    CqzLabelMgr() = default;
    std::vector<std::unique_ptr<CqzLabel>> m_labels;
};
