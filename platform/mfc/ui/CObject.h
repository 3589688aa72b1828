#pragma once
// The root of the window layer's class chains: something deleted through its base.

class CObject
{
public:
    virtual ~CObject() = default;
};
