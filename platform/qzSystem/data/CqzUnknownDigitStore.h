#pragma once
// Which bits of a column's unknown values (status 4) are unknown (x) and which are high
// impedance (z), for showing such values digit by digit ("30zz"). Sparse like the statuses:
// a record holds from its line until the next record, so a value held by the lines after it
// keeps its digits, and a column without unknown digits costs nothing. Evaluation never reads
// it: a value with status 4 stays "no usable value" whatever its digits. Owned by a
// CqzDataTable, one per column that has had unknown digits.

#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <vector>

class CqzUnknownDigitStore
{
public:
    // Records the digits of the value at `line` (both masks zero: a value without unknown
    // digits). Lines are normally recorded in increasing order; an earlier line replaces the
    // records from it on.
    void Set(std::int64_t line, const CqzUInt& unknown, const CqzUInt& floating);
    // The masks that hold at `line`; false when none (or only zero masks) hold there.
    bool Get(std::int64_t line, CqzUInt& unknown, CqzUInt& floating) const;
    // True when the last record has masks (a following known value must then record zeros).
    bool IsOpen() const { return !m_records.empty() && m_records.back().open; }

private:
    struct SqzRecord
    {
        std::int64_t line;
        CqzUInt unknown;
        CqzUInt floating;
        bool open;
    };
    std::vector<SqzRecord> m_records;
};
