#include "evaluation/CqzFilterExpressionCompiler.h"

#include "evaluation/CqzFilterLabelCompiler.h"
#include "evaluation/CqzFilterTreeGroup.h"
#include "evaluation/CqzFilterTreeNoValueOperand.h"
#include "evaluation/CqzFilterTreeOperator.h"
#include "evaluation/CqzFilterTreeRoot.h"
#include "qzSystem/search/CqzSearchExpressionGroup.h"
#include "qzSystem/search/CqzSearchModel.h"

CqzFilterExpressionCompiler::CqzFilterExpressionCompiler(
    CqzData& data, std::vector<CqzSampleIterBase*>& valueIters,
    std::vector<CqzSampleIterBase*>& stringIters, int& valueCounter, int& stringCounter)
    : m_data(data), m_valueIters(valueIters), m_stringIters(stringIters),
      m_valueCounter(valueCounter), m_stringCounter(stringCounter)
{
}

CqzFilterExpressionCompiler::~CqzFilterExpressionCompiler()
{
    Clear();
}

void CqzFilterExpressionCompiler::Clear()
{
    for (CqzFilterTreeNode* node : m_operands)
        delete node;
    for (CqzFilterTreeNode* node : m_operators)
        delete node;
    m_operands.clear();
    m_operators.clear();
}

void CqzFilterExpressionCompiler::Compile(const CqzSearchModel& search, CqzFilterTreeRoot& root)
{
    Clear();
    for (const auto& token : search.GetIfClause().GetEventList()->GetExpression(true))
    {
        const int kind = token->GetKind();
        if (kind == eqzExpressionEventLabel)
            AddEvent(search, *token, root);
        else if (kind == eqzExpressionConj)
            AddConj(search, *token, root);
        else if (static_cast<const CqzSearchExpressionGroup&>(*token).GetBracket() == 0)
            m_operators.push_back(new CqzFilterTreeGroup(0));
        else
            CloseGroup();
    }
    while (!m_operators.empty())
    {
        // An opening bracket that was never closed only marked a position: drop it.
        if (m_operators.back()->IsGroup())
        {
            delete m_operators.back();
            m_operators.pop_back();
        }
        else
            Reduce();
    }
    root.SetLeft(PopOperand());
    Clear(); // operands left over by a malformed expression are not part of the tree
}

void CqzFilterExpressionCompiler::AddEvent(const CqzSearchModel& search,
                                           const CqzSearchExpressionNode& token,
                                           CqzFilterTreeRoot& root)
{
    auto* event = dynamic_cast<CqzSearchEventLabel*>(
        search.GetIfClause().GetEventList()->GetComponent(token.GetID()));
    CqzFilterTreeNode* leaf = nullptr;
    if (event != nullptr)
        leaf = CqzFilterLabelCompiler::CompileLabel(*event->GetEventLabel(), m_data, m_valueCounter,
                                                    m_stringCounter, m_valueIters, m_stringIters);
    if (leaf == nullptr)
        leaf = new CqzFilterTreeNoValueOperand(-1);
    leaf->SetRoot(&root);
    m_operands.push_back(leaf);
}

void CqzFilterExpressionCompiler::AddConj(const CqzSearchModel& search,
                                          const CqzSearchExpressionNode& token,
                                          CqzFilterTreeRoot& root)
{
    auto* conj = dynamic_cast<CqzSearchEventConj*>(
        search.GetIfClause().GetEventList()->GetComponent(token.GetID()));
    const int kind = conj != nullptr && conj->GetType() == eqzConjAnd ? CqzFilterTreeOperator::And
                                                                      : CqzFilterTreeOperator::Or;
    auto* op = new CqzFilterTreeOperator(kind);
    if (!m_operators.empty() && m_operators.back()->GetType() == 2)
        Reduce();
    op->SetRoot(&root);
    m_operators.push_back(op);
}

void CqzFilterExpressionCompiler::CloseGroup()
{
    while (!m_operators.empty() && !m_operators.back()->IsGroup())
        Reduce();
    if (!m_operators.empty())
    {
        delete m_operators.back();
        m_operators.pop_back();
    }
}

CqzFilterTreeNode* CqzFilterExpressionCompiler::PopOperand()
{
    if (m_operands.empty())
        return nullptr;
    CqzFilterTreeNode* node = m_operands.back();
    m_operands.pop_back();
    return node;
}

void CqzFilterExpressionCompiler::Reduce()
{
    CqzFilterTreeNode* op = m_operators.back();
    m_operators.pop_back();
    CqzFilterTreeNode* right = PopOperand();
    CqzFilterTreeNode* left = PopOperand();
    op->SetLeft(left);
    op->SetRight(right);
    m_operands.push_back(op);
}
