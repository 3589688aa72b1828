// The scope-bound drawing helpers put the device context back as they found it.

#include "editor/CqzSelectBkMode.h"
#include "editor/CqzSelectFont.h"
#include "editor/CqzSelectPen.h"
#include "editor/CqzSelectStock.h"
#include "mfc/ui/CDC.h"
#include "mfc/ui/CFont.h"
#include "mfc/ui/CGdiObject.h"

#include <gtest/gtest.h>

namespace
{
// The object of that kind the device context holds now (selecting `probe` answers it; the
// probe is then taken out again).
HGDIOBJ Current(CDC& dc, HGDIOBJ probe)
{
    HGDIOBJ current = dc.SelectObject(probe);
    dc.SelectObject(current);
    return current;
}
} // namespace

TEST(DrawingHelpers, EachRestoresWhatItChangedInReverseOrder)
{
    CDC dc;
    dc.SetBkMode(OPAQUE);
    CFont font;
    font.CreatePointFont(80, L"MS Sans Serif");
    const HGDIOBJ brush = Current(dc, GetStockObject(BLACK_BRUSH));
    const HGDIOBJ pen = Current(dc, GetStockObject(NULL_PEN));
    const HGDIOBJ oldFont = Current(dc, font.GetSafeHandle());
    {
        CqzSelectStock stock(&dc, NULL_BRUSH);
        CqzSelectPen drawing(&dc, PS_SOLID, 0, RGB(0, 0, 0));
        CqzSelectBkMode mode(&dc, TRANSPARENT);
        CqzSelectFont selected(&dc, &font);
        EXPECT_EQ(Current(dc, GetStockObject(BLACK_BRUSH)), GetStockObject(NULL_BRUSH));
        EXPECT_NE(Current(dc, GetStockObject(NULL_PEN)), pen);
        EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
        EXPECT_EQ(Current(dc, oldFont), font.GetSafeHandle());
        EXPECT_GT(selected.GetMetrics().tmHeight, 0);
    }
    EXPECT_EQ(Current(dc, GetStockObject(BLACK_BRUSH)), brush);
    EXPECT_EQ(Current(dc, GetStockObject(NULL_PEN)), pen);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(Current(dc, font.GetSafeHandle()), oldFont);
}

TEST(DrawingHelpers, StockRestoredEarlySelectsNothingMore)
{
    CDC dc;
    const HGDIOBJ brush = Current(dc, GetStockObject(BLACK_BRUSH));
    {
        CqzSelectStock stock(&dc, NULL_BRUSH);
        stock.Restore();
        EXPECT_EQ(Current(dc, GetStockObject(BLACK_BRUSH)), brush);
        dc.SelectObject(GetStockObject(BLACK_BRUSH));
    }
    EXPECT_EQ(Current(dc, GetStockObject(WHITE_BRUSH)), GetStockObject(BLACK_BRUSH));
}
