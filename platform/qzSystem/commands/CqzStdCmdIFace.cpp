#include "qzSystem/commands/CqzStdCmdIFace.h"

#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzPlugInMgr.h"

const CString& CqzStdCmdIFace::GetBaseIFaceName() const
{
    static const CString name(L"StandardToolCommandIFace");
    return name;
}

CString CqzStdCmdIFace::GetLabelDescription(const CqzID& labelID) const
{
    CString text;
    const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(labelID);
    if (label == nullptr)
        return text;
    text.Format(L"Created by %s", CqzPlugInMgr::Instance().GetFullName(label->GetSourceID()));
    if (!label->GetDescription().IsEmpty())
        text += L"\n" + label->GetDescription();
    return text;
}
