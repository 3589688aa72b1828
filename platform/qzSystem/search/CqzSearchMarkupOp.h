#pragma once
// The operators of the search model's markup and how each maps to a pattern: single-bit or
// multi-bit mode, the choice, and what the event element carries besides the operator. The
// string choices "contains" and "does not contain" share the multi-bit choices 1 and 2 with
// "=" and "!=", so the label's type tells them apart.

#include "mfc/CString.h"

class CqzPatternModel;

// What an event element carries for its operator.
enum EqzSearchMarkupOperand
{
    eqzOperandNone,  // edges and levels
    eqzOperandValue, // "Value" and optional "DontCare"
    eqzOperandRange, // "Low" and "High"
    eqzOperandText   // "Text"
};

struct CqzSearchMarkupOp
{
    const wchar_t* name;
    bool multiBit;
    int choice;
    EqzSearchMarkupOperand operand;

    // The operator of this name (exact spelling), or null.
    static const CqzSearchMarkupOp* FromName(const CString& name);
    // The operator that describes the pattern on a label of the given kind, or null for a
    // choice outside the vocabulary (the reserved multi-bit transitions, say).
    static const CqzSearchMarkupOp* FromPattern(const CqzPatternModel& pattern, bool stringLabel);
};
