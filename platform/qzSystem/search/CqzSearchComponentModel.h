#pragma once
// Base of every component of a search expression (events, conjunctions, brackets) and of the
// filter actions: an observable model with a component identifier drawn from the GUID generator.

#include "qzSystem/ids/CqzID.h"
#include "qzSystem/mvc/CqzMvcModel.h"

class CqzSearchComponentModel : public CqzMvcModel
{
public:
    CqzSearchComponentModel() = default;
    // A copy keeps the source's component identifier and has no observers of its own.
    CqzSearchComponentModel(const CqzSearchComponentModel&) = default;
    CqzSearchComponentModel& operator=(const CqzSearchComponentModel&) = default;

    const CqzID& GetID() const { return m_id; }
    void SetID(const CqzID& id) { m_id = id; }

    // A new heap copy of the concrete component; the caller owns it.
    virtual CqzSearchComponentModel* Clone() const = 0;

private:
    CqzID m_id;
};
