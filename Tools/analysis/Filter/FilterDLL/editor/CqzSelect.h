#pragma once
// Base of the scope-bound drawing helpers: each changes one thing in a device context when it
// is made and puts the previous state back when it is destroyed.

class CqzSelect
{
public:
    CqzSelect() = default;
    CqzSelect(const CqzSelect&) = delete;
    CqzSelect& operator=(const CqzSelect&) = delete;
    virtual ~CqzSelect() = default;
};
