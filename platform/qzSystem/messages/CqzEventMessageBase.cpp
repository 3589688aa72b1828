#include "qzSystem/messages/CqzEventMessageBase.h"

#include "mfc/CString.h"

void CqzEventMessageBase::Sprint(CString& text) const { text.Format(L"Event %u", GetTypeID()); }
