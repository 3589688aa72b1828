#pragma once
// Walks the tables of a CqzData in order: First, then Next until IsDone. Made by
// CqzData::CreateIter; the caller owns it. Tables added while walking are not seen.

#include <memory>

class CqzData;
class CqzDataTable;

class CqzDataTableIter
{
public:
    explicit CqzDataTableIter(const CqzData& data);
    ~CqzDataTableIter();
    CqzDataTableIter(const CqzDataTableIter&) = delete;
    CqzDataTableIter& operator=(const CqzDataTableIter&) = delete;

    void First();
    bool IsDone() const;
    void Next();
    // The current table; null when done.
    CqzDataTable* GetCurrentTable() const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
