#pragma once
// Compiles one term's search expression (events, conjunctions and brackets in order) into a
// tree under the term's root. Two stacks, operands and operators; all conjunctions have the same
// precedence and group from the left; brackets override that.

#include <vector>

class CqzData;
class CqzFilterTreeNode;
class CqzFilterTreeRoot;
class CqzSampleIterBase;
class CqzSearchModel;

class CqzFilterExpressionCompiler
{
public:
    CqzFilterExpressionCompiler(CqzData& data, std::vector<CqzSampleIterBase*>& valueIters,
                                std::vector<CqzSampleIterBase*>& stringIters, int& valueCounter,
                                int& stringCounter);
    ~CqzFilterExpressionCompiler();

    void Compile(const CqzSearchModel& search, CqzFilterTreeRoot& root);

private:
    void AddEvent(const CqzSearchModel& search, const class CqzSearchExpressionNode& token,
                  CqzFilterTreeRoot& root);
    void AddConj(const CqzSearchModel& search, const CqzSearchExpressionNode& token,
                 CqzFilterTreeRoot& root);
    void CloseGroup();
    void Reduce();
    CqzFilterTreeNode* PopOperand();
    void Clear();

    CqzData& m_data;
    std::vector<CqzSampleIterBase*>& m_valueIters;
    std::vector<CqzSampleIterBase*>& m_stringIters;
    int& m_valueCounter;
    int& m_stringCounter;
    std::vector<CqzFilterTreeNode*> m_operands;
    std::vector<CqzFilterTreeNode*> m_operators;
};
