#pragma once
// The compiled form of a filter model: one tree per enabled term under a CqzFilterTreeRoot, a
// copy of each such term's action, and one sample iterator per label occurrence. The run asks
// it for two correlators that read every occurrence at a sample, then asks per sample which
// term applies first.

#include "evaluation/SqzFilterSample.h"

#include <memory>
#include <vector>

class CqzData;
class CqzFilterAction;
class CqzFilterModel;
class CqzFilterTreeRoot;
class CqzSampleIterBase;
class CqzTimeCorrelatedIter;

class CqzFilterObject
{
public:
    CqzFilterObject();
    CqzFilterObject(const CqzFilterObject&) = delete;
    CqzFilterObject& operator=(const CqzFilterObject&) = delete;
    virtual ~CqzFilterObject();

    // Compiles the enabled terms of the model over the data (not owned); may be called again.
    void Build(CqzData& data, CqzFilterModel& model);
    // Correlators over the value and the string iterators; the caller owns them. They must not
    // be used after the next Build.
    CqzTimeCorrelatedIter* CreateValueIter() const;
    CqzTimeCorrelatedIter* CreateStringIter() const;
    bool HasStrings() const;

    // The action of the first enabled term whose tree is true for the sample whose label
    // values are given, or null. The vectors are read by occurrence index while the call runs.
    virtual const CqzFilterAction* Evaluate(const std::vector<CqzUInt>* values,
                                            const std::vector<int>* valueStatuses,
                                            const std::vector<CString>* texts,
                                            const std::vector<int>* textStatuses);

    void GetValue(int index, CqzUInt& value, int& status) const;
    void GetString(int index, CString& text, int& status) const;
    const SqzFilterSample& GetCurrentSample() const;

    // Numbers of roots (enabled terms) and of value and string occurrences of the last build.
    int GetRootCount() const;
    int GetValueIterCount() const;
    int GetStringIterCount() const;
    const CqzFilterTreeRoot* GetRoot(int index) const;
    // The action copy of root `index`, and the iterators of value and string occurrences, by
    // index; null out of range.
    const CqzFilterAction* GetAction(int index) const;
    CqzSampleIterBase* GetValueIter(int index) const;
    CqzSampleIterBase* GetStringIter(int index) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
