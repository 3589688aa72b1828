#pragma once
// What one filter term does to the samples its expression matches: show, hide or colour them.
// Owned by its term; observed by the filter model (and the editor's action view).

#include "mfc/CString.h"
#include "qzSystem/search/CqzSearchComponentModel.h"

class CqzPersistenceSetup;
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

    CqzFilterAction() = default;
    // Same component identifier, type and colour; no observers of its own.
    CqzFilterAction(const CqzFilterAction& other);
    ~CqzFilterAction() override = default;

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

    // "Show", "Hide" or "Color"; an empty text for a type outside the table.
    static const wchar_t* GetTypeName(unsigned int type);

private:
    unsigned int m_type = eqzFilterHide;
    unsigned int m_color = DefaultColor;
};
