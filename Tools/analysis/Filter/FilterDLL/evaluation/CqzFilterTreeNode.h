#pragma once
// Base of the nodes of a compiled filter term: leaves that test one label occurrence, AND/OR
// operators, the root that heads a term, and the group marker used while compiling. A node owns
// its left and right subtrees; the root link is a plain back-reference.

#include "mfc/CString.h"

#include <memory>

class CqzFilterTreeRoot;

class CqzFilterTreeNode
{
public:
    CqzFilterTreeNode();
    CqzFilterTreeNode(const CqzFilterTreeNode&) = delete;
    CqzFilterTreeNode& operator=(const CqzFilterTreeNode&) = delete;
    // Destroys the left subtree, then the right one.
    virtual ~CqzFilterTreeNode();

    // 0 group, 1 operand, 2 operator, 3 root.
    virtual int GetType() const = 0;
    virtual bool Evaluate() = 0;
    // A new, unlinked node of the same class with the same own fields.
    virtual CqzFilterTreeNode* Clone() const = 0;
    // True only for the stand-in of an occurrence that compiles to no test.
    virtual bool IsConstant() const { return false; }
    virtual bool IsOperand() const { return false; }
    virtual bool IsOperator() const { return false; }
    virtual bool IsGroup() const { return false; }

    CqzFilterTreeNode* GetLeft() const { return m_link->left; }
    // Stores the subtree without destroying a previous one.
    void SetLeft(CqzFilterTreeNode* node) { m_link->left = node; }
    CqzFilterTreeNode* GetRight() const { return m_link->right; }
    void SetRight(CqzFilterTreeNode* node) { m_link->right = node; }
    CqzFilterTreeRoot* GetRoot() const { return m_link->root; }
    virtual void SetRoot(CqzFilterTreeRoot* root) { m_link->root = root; }

    // Diagnostics: names printed or collected in order (left, node, right).
    void SetName(const CString& name) { m_link->name = name; }
    const CString& GetName() const { return m_link->name; }
    void Print() const;
    void AppendNames(CString& names) const;

private:
    struct SqzLink
    {
        CqzFilterTreeNode* left = nullptr;
        CqzFilterTreeNode* right = nullptr;
        CqzFilterTreeRoot* root = nullptr;
        CString name;
    };
    std::unique_ptr<SqzLink> m_link;
};
