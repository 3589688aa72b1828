#pragma once
// Runs one importer on one fuzz input. A refusal (CqzCaptureError) is expected; anything else
// escaping, a crash, or a refusal that leaves labels registered is a finding.

#include "capture/CqzCaptureError.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <cstdlib>

template <typename F> void FuzzImport(F&& import)
{
    CqzLabelMgr& labels = CqzLabelMgr::Instance();
    labels.Reset();
    try
    {
        auto data = import();
        if (!data || data->GetTableCount() != 1)
            std::abort();
    }
    catch (const CqzCaptureError&)
    {
        if (!labels.GetLabels().empty())
            std::abort(); // a refused import must not leave labels behind
    }
    labels.Reset();
}
