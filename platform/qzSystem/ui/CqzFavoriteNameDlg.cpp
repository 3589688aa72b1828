#include "qzSystem/ui/CqzFavoriteNameDlg.h"

#include "qzSystem/ui/CqzSystemResources.h"

CqzFavoriteNameDlg::CqzFavoriteNameDlg(CWnd* parent)
    : CqzTextEntryDlg(qzres::IDD_FAVORITE_NAME, parent)
{
}
