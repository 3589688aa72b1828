#pragma once
// Turns one event of a search expression (a pattern on a label) into a leaf of the filter tree
// and a sample iterator that supplies the label's value at every sample. All pattern work
// (choice decoding, masks, bound order, lower-casing) happens here, once per build.

#include "qzSystem/ids/CqzUInt.h"

#include <vector>

class CqzData;
class CqzFilterTreeNode;
class CqzPatternModel;
class CqzSampleIterBase;

class CqzFilterLabelCompiler
{
public:
    // Operation codes: 0 != , 1 =, 2 <, 3 <=, 4 >, 5 >=, 6 inside, 7 outside, 8 to 10 and 13 to
    // 15 no test, 11 bit 0 set, 12 bit 0 clear.
    static int GetOperationCode(const CqzPatternModel& pattern);
    // The leaf for a value-label code, or null for the codes without a leaf. Comparison codes
    // take value and mask, range codes low and high.
    static CqzFilterTreeNode* CreateOperand(int code, int index, const CqzUInt& value,
                                            const CqzUInt& second);
    // Compiles one label occurrence: returns its leaf or null, and appends at most one iterator
    // to the matching vector, advancing the matching counter.
    static CqzFilterTreeNode* CompileLabel(const CqzPatternModel& pattern, CqzData& data,
                                           int& valueCounter, int& stringCounter,
                                           std::vector<CqzSampleIterBase*>& valueIters,
                                           std::vector<CqzSampleIterBase*>& stringIters);

private:
    static CqzFilterTreeNode* CompileString(const CqzPatternModel& pattern, int code, CqzData& data,
                                            int& stringCounter,
                                            std::vector<CqzSampleIterBase*>& stringIters);
    static CqzFilterTreeNode* CompileDigital(const CqzPatternModel& pattern, int code,
                                             CqzData& data, int& valueCounter,
                                             std::vector<CqzSampleIterBase*>& valueIters);
    static CqzFilterTreeNode* CompileIntegral(const CqzPatternModel& pattern, int code,
                                              CqzData& data, int& valueCounter,
                                              std::vector<CqzSampleIterBase*>& valueIters);
    static CqzFilterTreeNode* CreateMaskedOperand(int code, int index, CqzUInt value,
                                                  CqzUInt second);
};
