#include "evaluation/CqzFilterTreeNode.h"

#include <cstdio>

CqzFilterTreeNode::CqzFilterTreeNode() : m_link(std::make_unique<SqzLink>()) {}

CqzFilterTreeNode::~CqzFilterTreeNode()
{
    delete m_link->left;
    delete m_link->right;
}

void CqzFilterTreeNode::Print() const
{
    if (GetLeft() != nullptr)
        GetLeft()->Print();
    std::printf(" %s\n", GetName().ToUtf8().c_str());
    if (GetRight() != nullptr)
        GetRight()->Print();
}

void CqzFilterTreeNode::AppendNames(CString& names) const
{
    if (GetLeft() != nullptr)
        GetLeft()->AppendNames(names);
    names += GetName();
    if (GetRight() != nullptr)
        GetRight()->AppendNames(names);
}
