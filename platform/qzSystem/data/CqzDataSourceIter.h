#pragma once
// Base of the iterators over a data source: a row position that moves forward, and an access
// mode chosen by the user of the iterator.

#include <cstdint>

class CqzDataSourceIter
{
public:
    virtual ~CqzDataSourceIter() = default;

    void SetAccessMode(int mode) { m_accessMode = mode; }
    int GetAccessMode() const { return m_accessMode; }

    // Positions the iterator at a row; false (and at end) when the row is out of range.
    virtual bool SetPosition(std::int64_t row) = 0;
    virtual std::int64_t GetPosition() const = 0;
    virtual bool IsAtEnd() const = 0;
    // Moves to the next row; false when that leaves the data.
    virtual bool Next() = 0;

private:
    int m_accessMode = 0;
};
