#pragma once
// A font that deletes its graphics object when it is destroyed.

#include "mfc/ui/CFont.h"

class CqzFont : public CFont
{
public:
    ~CqzFont() override { DeleteObject(); }
};
