#include "evaluation/CqzFilterObject.h"

#include "evaluation/CqzFilterExpressionCompiler.h"
#include "evaluation/CqzFilterTreeRoot.h"
#include "model/CqzFilterModel.h"
#include "qzSystem/data/CqzSampleIterBase.h"
#include "qzSystem/data/CqzTimeCorrelatedIter.h"

struct CqzFilterObject::SqzImp
{
    bool hasStrings = false;
    CqzData* data = nullptr;
    std::vector<std::unique_ptr<CqzFilterTreeRoot>> roots;
    std::vector<std::unique_ptr<CqzFilterAction>> actions;
    std::vector<CqzSampleIterBase*> valueIters;
    std::vector<CqzSampleIterBase*> stringIters;
    SqzFilterSample current;

    void DestroyIterators()
    {
        for (CqzSampleIterBase* it : valueIters)
            delete it;
        for (CqzSampleIterBase* it : stringIters)
            delete it;
        valueIters.clear();
        stringIters.clear();
    }
};

CqzFilterObject::CqzFilterObject() : m_imp(std::make_unique<SqzImp>()) {}

CqzFilterObject::~CqzFilterObject()
{
    m_imp->actions.clear();
    m_imp->roots.clear();
    m_imp->DestroyIterators();
}

void CqzFilterObject::Build(CqzData& data, CqzFilterModel& model)
{
    m_imp->data = &data;
    m_imp->DestroyIterators();
    m_imp->actions.clear();

    std::vector<CqzSearchModel*> searches;
    std::vector<CqzFilterAction*> actions;
    model.GetSearchModels(searches);
    model.GetActions(actions);

    // A Show term applies where its expression is false: the inversion goes into the search
    // model itself.
    std::vector<CqzSearchModel*> keptSearches;
    std::vector<CqzFilterAction*> keptActions;
    for (std::size_t i = 0; i < searches.size() && i < actions.size(); ++i)
    {
        searches[i]->SetInverted(actions[i]->GetType() == eqzFilterShow);
        if (searches[i]->IsEnabled())
        {
            keptSearches.push_back(searches[i]);
            keptActions.push_back(actions[i]);
        }
    }

    m_imp->roots.clear();
    int valueCounter = 0;
    int stringCounter = 0;
    CqzFilterExpressionCompiler compiler(data, m_imp->valueIters, m_imp->stringIters, valueCounter,
                                         stringCounter);
    for (CqzSearchModel* search : keptSearches)
    {
        auto root = std::make_unique<CqzFilterTreeRoot>(this);
        root->SetInverted(search->GetInverted());
        compiler.Compile(*search, *root);
        m_imp->roots.push_back(std::move(root));
    }
    m_imp->hasStrings = stringCounter != 0;

    for (CqzFilterAction* action : keptActions)
        m_imp->actions.emplace_back(static_cast<CqzFilterAction*>(action->Clone()));
}

CqzTimeCorrelatedIter* CqzFilterObject::CreateValueIter() const
{
    return new CqzTimeCorrelatedIter(*m_imp->data, m_imp->valueIters);
}

CqzTimeCorrelatedIter* CqzFilterObject::CreateStringIter() const
{
    return new CqzTimeCorrelatedIter(*m_imp->data, m_imp->stringIters);
}

bool CqzFilterObject::HasStrings() const
{
    return m_imp->hasStrings;
}

const CqzFilterAction* CqzFilterObject::Evaluate(const std::vector<CqzUInt>* values,
                                                 const std::vector<int>* valueStatuses,
                                                 const std::vector<CString>* texts,
                                                 const std::vector<int>* textStatuses)
{
    m_imp->current = {values, valueStatuses, texts, textStatuses};
    for (std::size_t i = 0; i < m_imp->roots.size(); ++i)
        if (m_imp->roots[i]->Evaluate())
            return m_imp->actions[i].get();
    return nullptr;
}

void CqzFilterObject::GetValue(int index, CqzUInt& value, int& status) const
{
    value = (*m_imp->current.values)[static_cast<std::size_t>(index)];
    status = (*m_imp->current.valueStatuses)[static_cast<std::size_t>(index)];
}

void CqzFilterObject::GetString(int index, CString& text, int& status) const
{
    text = (*m_imp->current.texts)[static_cast<std::size_t>(index)];
    status = (*m_imp->current.textStatuses)[static_cast<std::size_t>(index)];
}

const SqzFilterSample& CqzFilterObject::GetCurrentSample() const
{
    return m_imp->current;
}

int CqzFilterObject::GetRootCount() const
{
    return static_cast<int>(m_imp->roots.size());
}

int CqzFilterObject::GetValueIterCount() const
{
    return static_cast<int>(m_imp->valueIters.size());
}

int CqzFilterObject::GetStringIterCount() const
{
    return static_cast<int>(m_imp->stringIters.size());
}

const CqzFilterTreeRoot* CqzFilterObject::GetRoot(int index) const
{
    return index >= 0 && index < GetRootCount()
               ? m_imp->roots[static_cast<std::size_t>(index)].get()
               : nullptr;
}

const CqzFilterAction* CqzFilterObject::GetAction(int index) const
{
    return index >= 0 && index < static_cast<int>(m_imp->actions.size())
               ? m_imp->actions[static_cast<std::size_t>(index)].get()
               : nullptr;
}

CqzSampleIterBase* CqzFilterObject::GetValueIter(int index) const
{
    return index >= 0 && index < GetValueIterCount()
               ? m_imp->valueIters[static_cast<std::size_t>(index)]
               : nullptr;
}

CqzSampleIterBase* CqzFilterObject::GetStringIter(int index) const
{
    return index >= 0 && index < GetStringIterCount()
               ? m_imp->stringIters[static_cast<std::size_t>(index)]
               : nullptr;
}
