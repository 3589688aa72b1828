#include "evaluation/CqzFilterLabelCompiler.h"

#include "evaluation/CqzFilterTreeOperand.h"
#include "evaluation/CqzFilterTreeRangeOperand.h"
#include "evaluation/CqzFilterTreeStringOperand.h"
#include "qzSystem/data/CqzData.h"
#include "qzSystem/data/CqzSampleIntegerIter.h"
#include "qzSystem/data/CqzSampleIter.h"
#include "qzSystem/data/CqzSampleStringIter.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/search/CqzPatternModel.h"

#include <functional>

namespace
{

constexpr int CodeEqual = 1;
constexpr int CodeInside = 6;
constexpr int CodeOutside = 7;
constexpr int CodeBitSet = 11;
constexpr int CodeBitClear = 12;

// Iterator arguments the host expects for each kind of label.
constexpr int DigitalBase = 3;
constexpr int IntegralBase = 1;
constexpr int IterValue = 5;

bool IsRange(int code)
{
    return code == CodeInside || code == CodeOutside;
}

// Multi-bit choices 1 to 11 and single-bit choices 1 to 6 to operation codes.
constexpr int MultiBitCodes[] = {1, 1, 0, 2, 4, 3, 5, 6, 7, 13, 14, 15};
constexpr int SingleBitCodes[] = {8, 8, 9, 10, 11, 12, 1};

// Width masks of integral labels by column attribute bits 19 to 23, first set bit wins.
bool WidthMask(const CqzBitSet& attributes, CqzUInt& mask)
{
    constexpr int widths[] = {8, 16, 32, 64, 128};
    for (int i = 0; i < 5; ++i)
        if (attributes.IsSet(19 + i))
        {
            mask = CqzUInt::LowMask(widths[i]);
            return true;
        }
    return false;
}

} // namespace

int CqzFilterLabelCompiler::GetOperationCode(const CqzPatternModel& pattern)
{
    if (pattern.IsMultiBitMode())
    {
        const int choice = pattern.GetMultiBitChoice(true);
        return choice >= 1 && choice <= 11 ? MultiBitCodes[choice] : CodeEqual;
    }
    const int choice = pattern.GetSingleBitChoice(true);
    return choice >= 1 && choice <= 6 ? SingleBitCodes[choice] : SingleBitCodes[0];
}

CqzFilterTreeNode* CqzFilterLabelCompiler::CreateOperand(int code, int index, const CqzUInt& value,
                                                         const CqzUInt& second)
{
    switch (code)
    {
    case 0:
        return new CqzFilterTreeOperand<CqzUInt, std::not_equal_to<CqzUInt>>(index, value, second);
    case 1:
    case 11:
    case 12:
        return new CqzFilterTreeOperand<CqzUInt, std::equal_to<CqzUInt>>(index, value, second);
    case 2:
        return new CqzFilterTreeOperand<CqzUInt, std::less<CqzUInt>>(index, value, second);
    case 3:
        return new CqzFilterTreeOperand<CqzUInt, std::less_equal<CqzUInt>>(index, value, second);
    case 4:
        return new CqzFilterTreeOperand<CqzUInt, std::greater<CqzUInt>>(index, value, second);
    case 5:
        return new CqzFilterTreeOperand<CqzUInt, std::greater_equal<CqzUInt>>(index, value, second);
    case 6:
        return new CqzFilterTreeRangeOperand<CqzUInt>(1, index, value, second);
    case 7:
        return new CqzFilterTreeRangeOperand<CqzUInt>(2, index, value, second);
    default:
        return nullptr;
    }
}

// Range codes order the bounds; comparison codes turn the don't-care bits into a mask and
// clear the masked bits in the value.
CqzFilterTreeNode* CqzFilterLabelCompiler::CreateMaskedOperand(int code, int index, CqzUInt value,
                                                               CqzUInt second)
{
    if (IsRange(code))
    {
        if (value > second)
            value.Swap(second);
        return CreateOperand(code, index, value, second);
    }
    const CqzUInt mask = ~second;
    return CreateOperand(code, index, value & mask, mask);
}

CqzFilterTreeNode* CqzFilterLabelCompiler::CompileLabel(
    const CqzPatternModel& pattern, CqzData& data, int& valueCounter, int& stringCounter,
    std::vector<CqzSampleIterBase*>& valueIters, std::vector<CqzSampleIterBase*>& stringIters)
{
    const int code = GetOperationCode(pattern);
    const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(pattern.GetLabelInfo().GetLabelID());
    if (label == nullptr)
        return nullptr;
    if (label->IsType(eqzLabelString))
        return CompileString(pattern, code, data, stringCounter, stringIters);
    if (label->IsType(eqzLabelDigital))
        return CompileDigital(pattern, code, data, valueCounter, valueIters);
    if (label->IsType(eqzLabelIntegral))
        return CompileIntegral(pattern, code, data, valueCounter, valueIters);
    return nullptr;
}

CqzFilterTreeNode*
CqzFilterLabelCompiler::CompileString(const CqzPatternModel& pattern, int code, CqzData& data,
                                      int& stringCounter,
                                      std::vector<CqzSampleIterBase*>& stringIters)
{
    CString text;
    pattern.GetValue(text, true);
    CqzFilterTreeNode* leaf = new CqzFilterTreeStringOperand(stringCounter, text, code);
    stringIters.push_back(new CqzSampleStringIter(data, pattern.GetLabelInfo(), IterValue, true));
    ++stringCounter;
    return leaf;
}

CqzFilterTreeNode*
CqzFilterLabelCompiler::CompileDigital(const CqzPatternModel& pattern, int code, CqzData& data,
                                       int& valueCounter,
                                       std::vector<CqzSampleIterBase*>& valueIters)
{
    CqzUInt value, second;
    pattern.GetValue(value, second, true);
    CqzFilterTreeNode* leaf = CreateMaskedOperand(code, valueCounter, value, second);
    valueIters.push_back(new CqzSampleIter(data, pattern.GetLabelInfo(), DigitalBase, IterValue));
    ++valueCounter;
    return leaf;
}

CqzFilterTreeNode*
CqzFilterLabelCompiler::CompileIntegral(const CqzPatternModel& pattern, int code, CqzData& data,
                                        int& valueCounter,
                                        std::vector<CqzSampleIterBase*>& valueIters)
{
    const CqzLabelChannel& channel = pattern.GetLabelInfo();
    valueIters.push_back(new CqzSampleIntegerIter(data, channel, IntegralBase, IterValue));
    const int index = valueCounter++;
    const CqzDataColumn* column = data.GetColumnWithLabelID(channel.GetLabelID());
    CqzUInt widthMask;
    if (column == nullptr || !WidthMask(column->GetAttributes(), widthMask))
        return nullptr;
    if (pattern.IsEdge())
    {
        if (code == CodeBitSet)
            return CreateOperand(code, index, CqzUInt(1), CqzUInt(1));
        if (code == CodeBitClear)
            return CreateOperand(code, index, CqzUInt(0), CqzUInt(1));
        if (code == CodeEqual)
            return CreateOperand(code, index, CqzUInt(0), CqzUInt(0));
        return nullptr;
    }
    CqzUInt value, second;
    pattern.GetValue(value, second, true);
    value = CqzUInt(value.GetLow()) & widthMask;
    second = CqzUInt(second.GetLow()) & widthMask;
    return CreateMaskedOperand(code, index, value, second);
}
