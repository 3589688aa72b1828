#pragma once
// The state of one filter tool: the ordered list of filter terms, the whole-filter enable flag,
// the model's name and the owning tool's instance identifier. Observable, and at the same time
// an observer of its terms' event lists and actions, whose messages it passes on, so that a view
// needs to observe the model only. The tool owns one; the filter dialog edits a copy.

#include "model/SqzFilterTerm.h"
#include "qzSystem/ids/CqzBitSet.h"
#include "qzSystem/ids/CqzID.h"
#include "qzSystem/mvc/CqzDefObserver.h"
#include "qzSystem/mvc/CqzMvcModel.h"

#include <memory>
#include <vector>

class CqzMessageDeleteConnection;
class CqzMessagePlugInDependsOn;
class CWnd;
class CqzFilterModelView;
class CqzPersistenceSetup;
class CqzSearchComponentModel;
class CqzSearchCreateViewParameters;
class CqzXMLParser;

class CqzFilterModel : public CqzMvcModel, public CqzDefObserver
{
public:
    explicit CqzFilterModel(const CqzID& instanceID);
    CqzFilterModel(const CqzFilterModel& other);
    CqzFilterModel& operator=(const CqzFilterModel& other);
    ~CqzFilterModel() override;

    // Subject side: a new observer is sent CqzFilterModelAttachedMessage, and only it.
    void AddObserver(foundation::IObserver* observer) override;
    // Observer side: whatever a term's event list or action announces goes to all observers.
    void OnUpdate(foundation::ISubject* subject, foundation::IMessage* message) override;

    // Term list.
    int GetSize() const;
    const std::vector<SqzFilterTerm>& GetTerms() const;
    void InsertAfter(const CqzSearchModel* search, const CqzSearchComponentModel* action,
                     int index = -1);
    void InsertBefore(const CqzSearchModel* search, const CqzSearchComponentModel* action,
                      int index);
    bool Remove(int index, bool allowLast);
    void Reset();
    int GetSearchModels(std::vector<CqzSearchModel*>& models) const;
    int GetActions(std::vector<CqzFilterAction*>& actions) const;

    // Per-term properties; indices out of range do nothing.
    void SetFilterName(int index, const CString& name);
    const CString& GetFilterName(int index) const;
    void SetShowFilterName(int index, bool show);
    bool GetShowFilterName(int index) const;
    void SetFilterEnabled(int index, bool enable);

    // View hosting for the editor: the first AttachView makes the term-list view, which
    // creates every control; later calls move them. UpdateView collects the view's windows in
    // Tab order. The view goes with the terms (destructor, assignment, Reset, Load, DoCommands).
    bool AttachView(CqzSearchCreateViewParameters& parameters);
    void UpdateView(std::vector<CWnd*>& windows);
    CqzFilterModelView* GetView() const;

    // Whole filter.
    void SetEnabled(bool enabled);
    bool IsEnabled() const;
    void SetName(const CString& name);
    const CString& GetName() const;
    const CqzID& GetID() const;

    // The "FilterModel" block of a setup (terms with their names, search models and actions).
    // Load replaces every term, sends no insert messages and ends with Validate.
    void Save(CqzPersistenceSetup* setup) const;
    void Load(CqzPersistenceSetup* setup);
    // Only the model's name from a setup's "FilterModel" block; empty when absent.
    static CString ReadName(CqzPersistenceSetup* setup);

    // Markup. QueryCommand appends a "Filter" element ("Enabled" T or F) holding one
    // "FilterExpression" per term ("Name", then the term's search model and action elements)
    // inside the parser's main element, after its current child, or as the root element of an
    // empty parser; always true. DoCommands, with the parser on a "Filter" element, replaces
    // every term by the terms of its "FilterExpression" children (names kept, names shown) and
    // sets the enable flag (true exactly for "T"). A term whose expression or action cannot be
    // read fails the call; the terms read before it stay. No filter message is sent and the
    // labels are not validated. Both leave the parser's position as they found it.
    bool QueryCommand(const CString& command, CqzXMLParser& xml) const;
    bool DoCommands(CqzXMLParser& xml);

    // Label maintenance.
    void Validate();
    void RemoveLabels(const CqzMessageDeleteConnection& message);
    void AddDependencies(CqzMessagePlugInDependsOn& message);

private:
    struct SqzImp;

    bool MakeTerm(SqzFilterTerm& term, const CqzSearchModel* search,
                  const CqzSearchComponentModel* action);
    void InsertAt(std::size_t position, const CqzSearchModel* search,
                  const CqzSearchComponentModel* action);
    void Observe(SqzFilterTerm& term);
    void Unobserve(SqzFilterTerm& term);
    void DeleteAllTerms();
    SqzFilterTerm* TermAt(int index) const;
    template <typename Drop> void DropEvents(Drop drop);
    void Send(foundation::IMessage& message);
    void LoadTerm(CqzPersistenceSetup* setup, std::uint32_t index);
    bool ReadTerm(CqzXMLParser& xml);

    std::unique_ptr<SqzImp> m_imp;
};
