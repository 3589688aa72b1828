#include "evaluation/CqzFilterTreeOperandBase.h"

#include "evaluation/CqzFilterTreeRoot.h"

void CqzFilterTreeOperandBase::SetRoot(CqzFilterTreeRoot* root)
{
    CqzFilterTreeNode::SetRoot(root);
    m_sample = root != nullptr ? &root->GetSample() : nullptr;
}
