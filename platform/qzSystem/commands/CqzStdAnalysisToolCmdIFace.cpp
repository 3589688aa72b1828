#include "qzSystem/commands/CqzStdAnalysisToolCmdIFace.h"

const CString& CqzStdAnalysisToolCmdIFace::GetIFaceName() const
{
    static const CString name(L"StandardAnalysisToolCommandIFace");
    return name;
}
