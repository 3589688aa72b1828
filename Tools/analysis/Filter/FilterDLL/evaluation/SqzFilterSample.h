#pragma once
// The label values of the sample under evaluation: per label occurrence one value (or text) and
// one data status, addressed by the occurrence's index. The filter object points these at the
// vectors it is handed for each sample; tree roots read through them.

#include "mfc/CString.h"
#include "qzSystem/ids/CqzUInt.h"

#include <vector>

struct SqzFilterSample
{
    const std::vector<CqzUInt>* values = nullptr;
    const std::vector<int>* valueStatuses = nullptr;
    const std::vector<CString>* texts = nullptr;
    const std::vector<int>* textStatuses = nullptr;
};

// Data statuses that mean "no usable value": 3 no data at this sample, 4 value unknown.
constexpr bool IsUnusableStatus(int status)
{
    return status == 3 || status == 4;
}
