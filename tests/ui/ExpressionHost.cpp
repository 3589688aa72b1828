#include "ui/ExpressionHost.h"

BEGIN_MESSAGE_MAP(ExpressionPane, CWnd)
ON_MESSAGE(WM_RELAYOUT, OnRelayout)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(ExpressionHost, CqzFlexDialog)
ON_WM_SIZE()
END_MESSAGE_MAP()
