#pragma once
// The filter-and-colourise analysis tool: the plug-in object the host places in its analysis
// chain. It owns the filter model, the setup last applied from the editor, the run engine and
// the favourite setups; it answers the host's plug-in messages and serves the host's command
// interface, which it registers under its instance identifier for its whole life. The host owns
// the tool and deletes it through its virtual destructor.

#include "qzSystem/commands/CqzStdAnalysisToolCmdIFace.h"
#include "qzSystem/plugin/CqzPlugInAnToolBase.h"

#include <memory>
#include <vector>

class CqzFavorites;
class CqzFilterModel;
class CqzPersistenceSetup;

class CqzFilter : public CqzPlugInAnToolBase, public CqzStdAnalysisToolCmdIFace
{
public:
    CqzFilter(const CqzID& nameID, const CqzID& instanceID, const CqzID& typeID,
              const GUID& addInClassID);
    ~CqzFilter() override;
    CqzFilter(const CqzFilter&) = delete;
    CqzFilter& operator=(const CqzFilter&) = delete;

    // Plug-in interface.
    const CqzID& GetInstanceID() const override;
    void HandleMessage(CqzMessageBase* message) override;
    void SetData(CqzData* data) override;
    bool IsEnabled() const override;
    // Kind 5: the editor command (owned by the tool); no commands of other kinds.
    std::vector<CqzUICmdBase*> GetUICmds(int kind) override;
    // Opens the dialog "Filter" on this tool; OK applies the edited model (ApplySetup), Cancel
    // changes nothing.
    void EditProperties();

    // Command interface: the setup as markup ("GetSetup", "GetAllSetup") and markup commands
    // that replace the terms. Every operation leaves the caller's parser position as it was.
    bool DoCommands(CqzXMLParser& xml) override;
    bool QueryCommand(const CString& command, CqzXMLParser& xml) override;
    bool ExecuteQuery(const CString& command, CString& reply) override;
    const CString& GetBaseIFaceName() const override;
    const CString& GetIFaceName() const override;
    int GetAnalysisToolVersion() const override;
    const CString& GetTypeName() const override;

    CqzFilterModel& GetFilterModel();
    // Takes a model accepted in the editor: it becomes the tool's model and its applied setup,
    // and the host is asked to run the tool.
    void ApplySetup(const CqzFilterModel& model);
    bool HasAppliedSetup() const;

    CqzFavorites& GetFavorites();
    bool StoreFavorite(CqzFilterModel& model, int slot);
    // Slot -1 recalls the applied setup.
    bool RecallFavorite(int slot, CqzFilterModel& model);
    CString GetFavoriteName(int slot);
    void ClearAllFavorites();
    void ClearFavorites(const std::vector<int>& slots);

private:
    void Load(CqzPersistenceSetup* setup);
    void Save(CqzPersistenceSetup* setup);
    template <typename Step> void InFilterTag(CqzPersistenceSetup* setup, Step step);

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
