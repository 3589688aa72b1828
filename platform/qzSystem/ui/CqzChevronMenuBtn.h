#pragma once
// A small menu button that shows a chevron instead of text: the context menu of a row.

#include "qzSystem/ui/CqzMenuButton.h"

class CqzChevronMenuBtn : public CqzMenuButton
{
protected:
    void DrawMark(CDC* dc, const CRect& area, bool enabled) override;
};
