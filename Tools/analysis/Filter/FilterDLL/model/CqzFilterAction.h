#pragma once
// What one filter term does to the samples its expression matches: show, hide or colour them.
// Owned by its term; observed by the filter model (and the editor's action view).

#include "mfc/CString.h"
#include "qzSystem/search/CqzSearchComponentModel.h"

#include <memory>
#include <vector>

class CWnd;
class CqzFilterActionView;
class CqzPersistenceSetup;
class CqzSearchCreateViewParameters;
class CqzXMLParser;

enum EqzFilterActionType : unsigned int
{
    eqzFilterShow = 0,
    eqzFilterHide = 1,
    eqzFilterColor = 2
};

class CqzFilterAction : public CqzSearchComponentModel
{
public:
    static constexpr unsigned int DefaultColor = 0x0000FF;

    CqzFilterAction();
    // Same component identifier, type and colour; no observers of its own.
    CqzFilterAction(const CqzFilterAction& other);
    ~CqzFilterAction() override;

    CqzSearchComponentModel* Clone() const override { return new CqzFilterAction(*this); }

    unsigned int GetType() const { return m_type; }
    // Stores a different type and sends CqzFilterActionChangedMessage; any value is accepted.
    void SetType(unsigned int type);
    unsigned int GetColor() const { return m_color; }
    // Stores the colour; sends nothing.
    void SetColor(unsigned int color) { m_color = color; }

    // The "FilterAction" block of a setup: "Color", then "Type" by name. Loading an unknown or
    // missing type name gives Hide; a missing colour keeps the current one. No message is sent.
    void Save(CqzPersistenceSetup* setup) const;
    void Load(CqzPersistenceSetup* setup);

    // Markup. QueryCommand appends a "FilterAction" element inside the parser's current child
    // ("Type", and "Color" as "h" and six lower-case hexadecimal digits for the Color type);
    // `command` is not used; always true. DoCommands reads the next "FilterAction" child of the
    // main element: "Hide" and "Show" succeed; "Color" makes the type Color and succeeds only
    // with a colour of exactly 7 characters whose last six are hexadecimal digits (otherwise
    // the colour stays); any other type changes nothing and fails. No message is sent. Both
    // leave the parser's position as they found it.
    bool QueryCommand(const CString& command, CqzXMLParser& xml) const;
    bool DoCommands(CqzXMLParser& xml);

    // View hosting for the editor: the first AttachView makes the action view, which creates
    // its controls; later calls move them. DetachView deletes the view (a disabled term shows
    // no action). UpdateView collects the view's windows in Tab order.
    bool AttachView(CqzSearchCreateViewParameters& parameters);
    void UpdateView(std::vector<CWnd*>& windows);
    void DetachView();
    CqzFilterActionView* GetView() const { return m_view.get(); }

    // "Show", "Hide" or "Color"; an empty text for a type outside the table.
    static const wchar_t* GetTypeName(unsigned int type);

private:
    unsigned int m_type = eqzFilterHide;
    unsigned int m_color = DefaultColor;
    std::unique_ptr<CqzFilterActionView> m_view;
};
