#include "evaluation/CqzFilterPageEvaluator.h"

#include "evaluation/CqzFilterObject.h"
#include "evaluation/CqzFilterPageLeaf.h"
#include "evaluation/CqzFilterTreeOperator.h"
#include "evaluation/CqzFilterTreeRoot.h"
#include "evaluation/CqzFilterTreeStringOperand.h"
#include "evaluation/SqzFilterPageLines.h"
#include "qzSystem/data/CqzDataTable.h"
#include "qzSystem/data/CqzSampleIterBase.h"

#include <algorithm>
#include <vector>

namespace
{
// One step of a term's program, run on a stack of masks: a leaf pushes its mask, a constant
// pushes no rows, AND and OR combine the two top masks, NOT inverts the top one.
struct SqzStep
{
    enum EOp
    {
        eLeaf,
        eNone,
        eAnd,
        eOr,
        eNot
    } op;
    int leaf = -1;
};

// The lines one table's iterators read at the rows of a page; `reader` is one of them.
struct SqzTableLines
{
    CqzSampleIterBase* reader = nullptr;
    std::vector<std::int64_t> lines = std::vector<std::int64_t>(CqzFilterPageMask::Rows);
    SqzFilterPageLines page;
};
} // namespace

struct CqzFilterPageEvaluator::SqzImp
{
    std::vector<SqzTableLines> tables;
    std::vector<std::unique_ptr<CqzFilterPageLeaf>> leaves;
    // Per leaf, its table (-1: it reads nothing).
    std::vector<int> leafTables;
    std::vector<std::vector<SqzStep>> programs;
    std::vector<CqzFilterPageMask> leafMasks;
    std::vector<CqzFilterPageMask> stack;
    std::vector<CqzFilterPageMask> firstMatches;

    int TableOf(CqzSampleIterBase* iter);
    void Compile(const CqzFilterObject& filter, const CqzFilterTreeNode* node,
                 std::vector<SqzStep>& program);
    void Run(int count);
    CqzFilterPageMask RunProgram(const std::vector<SqzStep>& program, int count);
};

int CqzFilterPageEvaluator::SqzImp::TableOf(CqzSampleIterBase* iter)
{
    if (iter == nullptr || iter->GetTable() == nullptr)
        return -1;
    for (std::size_t i = 0; i < tables.size(); ++i)
        if (tables[i].reader->GetTable() == iter->GetTable())
            return static_cast<int>(i);
    tables.emplace_back();
    tables.back().reader = iter;
    return static_cast<int>(tables.size() - 1);
}

// Post-order: the operands of an operator come before it, as the tree evaluates them. Short
// circuits change nothing here: leaves have no effects.
void CqzFilterPageEvaluator::SqzImp::Compile(const CqzFilterObject& filter,
                                             const CqzFilterTreeNode* node,
                                             std::vector<SqzStep>& program)
{
    if (node != nullptr && node->IsOperator())
    {
        Compile(filter, node->GetLeft(), program);
        Compile(filter, node->GetRight(), program);
        const int kind = static_cast<const CqzFilterTreeOperator*>(node)->GetOperator();
        program.push_back({kind == CqzFilterTreeOperator::Or ? SqzStep::eOr : SqzStep::eAnd});
        return;
    }
    // A missing side, a group marker and a stand-in without a test are false at every row.
    if (node == nullptr || !node->IsOperand() || node->IsConstant())
        return program.push_back({SqzStep::eNone});
    const auto* operand = static_cast<const CqzFilterTreeOperandBase*>(node);
    CqzSampleIterBase* iter = dynamic_cast<const CqzFilterTreeStringOperand*>(node)
                                  ? filter.GetStringIter(operand->GetIndex())
                                  : filter.GetValueIter(operand->GetIndex());
    std::unique_ptr<CqzFilterPageLeaf> leaf = CqzFilterPageLeaf::Make(*node, iter);
    if (!leaf)
        return program.push_back({SqzStep::eNone});
    program.push_back({SqzStep::eLeaf, static_cast<int>(leaves.size())});
    leaves.push_back(std::move(leaf));
    leafTables.push_back(TableOf(iter));
}

CqzFilterPageEvaluator::CqzFilterPageEvaluator(const CqzFilterObject& filter)
    : m_imp(std::make_unique<SqzImp>())
{
    for (int i = 0; i < filter.GetRootCount(); ++i)
    {
        const CqzFilterTreeRoot* root = filter.GetRoot(i);
        std::vector<SqzStep> program;
        m_imp->Compile(filter, root->GetLeft(), program);
        if (root->GetInverted())
            program.push_back({SqzStep::eNot});
        m_imp->programs.push_back(std::move(program));
    }
    m_imp->leafMasks.resize(m_imp->leaves.size());
    m_imp->firstMatches.resize(m_imp->programs.size());
}

CqzFilterPageEvaluator::~CqzFilterPageEvaluator() = default;

void CqzFilterPageEvaluator::EvaluateRows(std::int64_t firstRow, int count)
{
    for (SqzTableLines& table : m_imp->tables)
    {
        SqzFilterPageLines& page = table.page;
        page = SqzFilterPageLines{count};
        if (table.reader->IsRowLine())
        {
            page.consecutive = true;
            page.first = firstRow;
            const std::int64_t rows = table.reader->GetTable()->GetRowCount() - firstRow;
            page.validRows = static_cast<int>(std::clamp<std::int64_t>(rows, 0, count));
        }
        else
        {
            for (int row = 0; row < count; ++row)
            {
                table.reader->SetIndex(firstRow + row);
                table.lines[std::size_t(row)] = table.reader->GetLine();
            }
            page.lines = table.lines.data();
        }
    }
    m_imp->Run(count);
}

void CqzFilterPageEvaluator::EvaluatePositions(const CqzPosition* positions, int count)
{
    for (SqzTableLines& table : m_imp->tables)
    {
        bool consecutive = true;
        for (int row = 0; row < count; ++row)
        {
            table.reader->SetPosition(positions[row]);
            const std::int64_t line = table.reader->GetLine();
            table.lines[std::size_t(row)] = line;
            consecutive = consecutive && line >= 0 && line == table.lines[0] + row;
        }
        table.page = SqzFilterPageLines{count};
        table.page.lines = table.lines.data();
        if (consecutive && count > 0)
        {
            table.page.consecutive = true;
            table.page.first = table.lines[0];
            table.page.validRows = count;
        }
    }
    m_imp->Run(count);
}

void CqzFilterPageEvaluator::SqzImp::Run(int count)
{
    for (std::size_t i = 0; i < leaves.size(); ++i)
        leafMasks[i] = leafTables[i] < 0 ? CqzFilterPageMask()
                                         : leaves[i]->Evaluate(tables[leafTables[i]].page);
    CqzFilterPageMask decided;
    for (std::size_t i = 0; i < programs.size(); ++i)
    {
        const CqzFilterPageMask matches = RunProgram(programs[i], count);
        firstMatches[i] = matches.Without(decided);
        decided |= matches;
    }
}

CqzFilterPageMask CqzFilterPageEvaluator::SqzImp::RunProgram(const std::vector<SqzStep>& program,
                                                             int count)
{
    stack.clear();
    for (const SqzStep& step : program)
    {
        switch (step.op)
        {
        case SqzStep::eLeaf:
            stack.push_back(leafMasks[std::size_t(step.leaf)]);
            break;
        case SqzStep::eNone:
            stack.emplace_back();
            break;
        case SqzStep::eNot:
            stack.back() = CqzFilterPageMask::FirstRows(count).Without(stack.back());
            break;
        default:
        {
            const CqzFilterPageMask right = stack.back();
            stack.pop_back();
            if (step.op == SqzStep::eAnd)
                stack.back() &= right;
            else
                stack.back() |= right;
        }
        }
    }
    return stack.empty() ? CqzFilterPageMask() : stack.back();
}

int CqzFilterPageEvaluator::GetTermCount() const
{
    return static_cast<int>(m_imp->programs.size());
}

const CqzFilterPageMask& CqzFilterPageEvaluator::GetFirstMatches(int index) const
{
    return m_imp->firstMatches[std::size_t(index)];
}
