#pragma once
// What the pages of one attribute source share: the palette that codes their records, the pool
// of code chunks (a byte a row) and the pool of record chunks for the pages whose records the
// palette cannot all name (more distinct records than it holds). Owned by the page store; the
// pages keep a reference, so it must outlive them.

#include "qzSystem/output/CqzPageBlockPool.h"
#include "qzSystem/output/CqzRecordPalette.h"

class CqzSampleAttributesPageMemory
{
public:
    explicit CqzSampleAttributesPageMemory(int pageSize);
    CqzSampleAttributesPageMemory(const CqzSampleAttributesPageMemory&) = delete;
    CqzSampleAttributesPageMemory& operator=(const CqzSampleAttributesPageMemory&) = delete;

    CqzRecordPalette& GetPalette() { return m_palette; }
    const CqzRecordPalette& GetPalette() const { return m_palette; }
    CqzPageBlockPool& GetCodePool() { return m_codes; }
    CqzPageBlockPool& GetRecordPool() { return m_records; }
    // The pages are about to go with the store: their chunks are not kept.
    void Close();

private:
    CqzRecordPalette m_palette;
    CqzPageBlockPool m_codes;
    CqzPageBlockPool m_records;
};
