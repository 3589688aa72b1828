#include "qzSystem/output/CqzSampleAttributesPageMemory.h"

#include "qzSystem/output/CqzSampleAttributes.h"

#include <cstdint>

CqzSampleAttributesPageMemory::CqzSampleAttributesPageMemory(int pageSize)
    : m_codes(static_cast<std::size_t>(pageSize) * sizeof(std::uint8_t)),
      m_records(static_cast<std::size_t>(pageSize) * sizeof(CqzSampleAttributes))
{
}

void CqzSampleAttributesPageMemory::Close()
{
    m_codes.Close();
    m_records.Close();
}
