#include "evaluation/CqzFilterObject.h"
#include "evaluation/CqzFilterLabelCompiler.h"
#include "evaluation/CqzFilterTreeGroup.h"
#include "evaluation/CqzFilterTreeOperand.h"
#include "evaluation/CqzFilterTreeOperator.h"
#include "evaluation/CqzFilterTreeRangeOperand.h"
#include "evaluation/CqzFilterTreeRoot.h"
#include "evaluation/CqzFilterTreeStringOperand.h"

#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace
{

// A leaf that counts how often it is evaluated and answers a fixed result.
class CountingLeaf : public CqzFilterTreeNode
{
public:
    CountingLeaf(bool result, int& count) : m_result(result), m_count(count) {}
    int GetType() const override { return 1; }
    bool Evaluate() override
    {
        ++m_count;
        return m_result;
    }
    CqzFilterTreeNode* Clone() const override { return new CountingLeaf(m_result, m_count); }

private:
    bool m_result;
    int& m_count;
};

// One sample of label values fed to hand-built trees through a filter object's current sample.
class NodeTest : public ::testing::Test
{
protected:
    void Sample(std::vector<CqzUInt> v, std::vector<int> vs, std::vector<CString> t = {},
                std::vector<int> ts = {})
    {
        values = std::move(v);
        valueStatuses = std::move(vs);
        texts = std::move(t);
        textStatuses = std::move(ts);
        EXPECT_EQ(owner.Evaluate(&values, &valueStatuses, &texts, &textStatuses), nullptr);
    }
    // Evaluates a leaf placed under a root of the owner.
    bool Eval(CqzFilterTreeNode* leaf, bool inverted = false)
    {
        CqzFilterTreeRoot root(&owner);
        root.SetInverted(inverted);
        leaf->SetRoot(&root);
        root.SetLeft(leaf);
        return root.Evaluate();
    }
    bool EvalCode(int code, CqzUInt value, CqzUInt second)
    {
        return Eval(CqzFilterLabelCompiler::CreateOperand(code, 0, value, second));
    }

    CqzFilterObject owner;
    std::vector<CqzUInt> values;
    std::vector<int> valueStatuses;
    std::vector<CString> texts;
    std::vector<int> textStatuses;
};

TEST_F(NodeTest, OperatorsShortCircuit)
{
    struct Case
    {
        int kind;
        bool left, right, expected;
        int rightEvaluations;
    };
    const Case cases[] = {{CqzFilterTreeOperator::And, false, true, false, 0},
                          {CqzFilterTreeOperator::And, true, false, false, 1},
                          {CqzFilterTreeOperator::And, true, true, true, 1},
                          {CqzFilterTreeOperator::Or, true, false, true, 0},
                          {CqzFilterTreeOperator::Or, false, true, true, 1},
                          {CqzFilterTreeOperator::Or, false, false, false, 1}};
    for (const Case& c : cases)
    {
        int leftCount = 0, rightCount = 0;
        CqzFilterTreeOperator op(c.kind);
        op.SetLeft(new CountingLeaf(c.left, leftCount));
        op.SetRight(new CountingLeaf(c.right, rightCount));
        EXPECT_EQ(op.Evaluate(), c.expected);
        EXPECT_EQ(leftCount, 1);
        EXPECT_EQ(rightCount, c.rightEvaluations) << "kind " << c.kind << " left " << c.left;
    }
}

TEST_F(NodeTest, ComparisonsAtTheBoundAndWithAnEmptyMask)
{
    Sample({CqzUInt(0x50)}, {0});
    const CqzUInt all = ~CqzUInt();
    // Codes: 0 !=, 1 =, 2 <, 3 <=, 4 >, 5 >=. At the bound, and with every bit masked out,
    // exactly the comparisons that allow equality hold.
    const bool allowsEqual[] = {false, true, false, true, false, true};
    for (int code = 0; code <= 5; ++code)
    {
        EXPECT_EQ(EvalCode(code, CqzUInt(0x50), all), allowsEqual[code]) << code;
        EXPECT_EQ(EvalCode(code, CqzUInt(0), CqzUInt(0)), allowsEqual[code]) << code;
    }
    EXPECT_TRUE(EvalCode(2, CqzUInt(0x51), all));
    EXPECT_TRUE(EvalCode(4, CqzUInt(0x4F), all));
}

TEST_F(NodeTest, MaskedValuesAndTheFull128BitOrder)
{
    Sample({CqzUInt::FromWords(0, 0, 0, 2), CqzUInt(0x5A)}, {0, 0});
    const CqzUInt all = ~CqzUInt();
    const CqzUInt lowOnly = CqzUInt::FromWords(~0u, ~0u, ~0u, 1);
    EXPECT_TRUE(EvalCode(4, lowOnly, all)) << "differs only in word 3";
    EXPECT_FALSE(EvalCode(2, lowOnly, all));
    // Value 0x5A with don't-care bits 0x0F: mask clears the low nibble.
    auto* leaf = CqzFilterLabelCompiler::CreateOperand(1, 1, CqzUInt(0x50), ~CqzUInt(0x0F));
    EXPECT_TRUE(Eval(leaf));
}

TEST_F(NodeTest, RangesInsideAndOutside)
{
    for (auto [sample, inside] : std::vector<std::pair<int, bool>>{
             {9, false}, {10, true}, {15, true}, {20, true}, {21, false}})
    {
        Sample({CqzUInt(static_cast<std::uint64_t>(sample))}, {0});
        EXPECT_EQ(EvalCode(6, CqzUInt(10), CqzUInt(20)), inside) << sample;
        EXPECT_EQ(EvalCode(7, CqzUInt(10), CqzUInt(20)), !inside) << sample;
        EXPECT_EQ(EvalCode(6, CqzUInt(15), CqzUInt(15)), sample == 15);
        EXPECT_EQ(EvalCode(7, CqzUInt(15), CqzUInt(15)), sample != 15);
    }
}

TEST_F(NodeTest, StringsIgnoreCase)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* pattern;
        bool contains;
    };
    const Case cases[] = {{L"xAByz", L"AB", true}, {L"ab", L"AB", true},
                          {L"a b", L"AB", false},  {L"anything", L"", true},
                          {L"", L"", true},        {L"ERROR 5", L"err", true}};
    for (const Case& c : cases)
    {
        Sample({}, {}, {c.text}, {0});
        EXPECT_EQ(Eval(new CqzFilterTreeStringOperand(0, c.pattern, 1)), c.contains);
        EXPECT_EQ(Eval(new CqzFilterTreeStringOperand(0, c.pattern, 0)), !c.contains);
        EXPECT_FALSE(Eval(new CqzFilterTreeStringOperand(0, c.pattern, 3))) << "never true";
    }
}

TEST_F(NodeTest, UnusableStatusesMakeEveryLeafFalseAndInversionTrue)
{
    for (int status : {3, 4})
    {
        Sample({CqzUInt(5)}, {status}, {L"abc"}, {status});
        EXPECT_FALSE(EvalCode(1, CqzUInt(5), ~CqzUInt()));
        EXPECT_FALSE(EvalCode(0, CqzUInt(6), ~CqzUInt()));
        EXPECT_FALSE(EvalCode(7, CqzUInt(10), CqzUInt(20)));
        EXPECT_FALSE(Eval(new CqzFilterTreeStringOperand(0, L"x", 0)));
        EXPECT_TRUE(
            Eval(CqzFilterLabelCompiler::CreateOperand(1, 0, CqzUInt(5), ~CqzUInt()), true));
    }
    Sample({CqzUInt(5)}, {2});
    EXPECT_TRUE(EvalCode(1, CqzUInt(5), ~CqzUInt())) << "other statuses are usable";
}

TEST_F(NodeTest, ClonesCarryTheirFieldsButNoLinks)
{
    Sample({CqzUInt(12)}, {0});
    std::unique_ptr<CqzFilterTreeNode> range(new CqzFilterTreeRangeOperand<CqzUInt>(2, 0, 10, 20));
    std::unique_ptr<CqzFilterTreeNode> clone(range->Clone());
    auto* typed = dynamic_cast<CqzFilterTreeRangeOperand<CqzUInt>*>(clone.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->GetMode(), 2);
    EXPECT_EQ(typed->GetHigh(), CqzUInt(20));
    EXPECT_EQ(clone->GetRoot(), nullptr);
    EXPECT_TRUE(CqzFilterTreeGroup(0).IsGroup());
    CqzFilterTreeRoot root(&owner);
    root.SetInverted(true);
    std::unique_ptr<CqzFilterTreeNode> rootClone(root.Clone());
    EXPECT_TRUE(static_cast<CqzFilterTreeRoot*>(rootClone.get())->GetInverted());
    EXPECT_EQ(rootClone->GetLeft(), nullptr);
}

TEST(FilterTreeNames, DiagnosticWalkIsInOrder)
{
    CqzFilterTreeOperator op(0);
    auto* a = new CqzFilterTreeGroup(0);
    auto* b = new CqzFilterTreeGroup(0);
    a->SetName(L"A");
    b->SetName(L"B");
    op.SetName(L"&");
    op.SetLeft(a);
    op.SetRight(b);
    CString names;
    op.AppendNames(names);
    EXPECT_EQ(names, L"A&B");
}

} // namespace
