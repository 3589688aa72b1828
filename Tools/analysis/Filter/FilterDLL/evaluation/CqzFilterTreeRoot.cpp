#include "evaluation/CqzFilterTreeRoot.h"

#include "evaluation/CqzFilterObject.h"

namespace
{
// Roots made without an owner (tests of single nodes, clones of such roots) read from here:
// no values at all.
const SqzFilterSample NoSample;
} // namespace

CqzFilterTreeRoot::CqzFilterTreeRoot(CqzFilterObject* owner)
    : m_owner(owner), m_sample(owner != nullptr ? &owner->GetCurrentSample() : &NoSample)
{
}

CqzFilterTreeNode* CqzFilterTreeRoot::Clone() const
{
    auto* clone = new CqzFilterTreeRoot(m_owner);
    clone->SetInverted(m_inverted);
    return clone;
}
