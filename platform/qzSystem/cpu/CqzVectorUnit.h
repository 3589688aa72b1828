#pragma once
// The processor's vector units, as the bulk loops of the plug-in and of the host choose among
// them: each loop family asks for the best unit once, naming the variable of the environment
// that, set to anything but "0", keeps that family on its plain loops.

class CqzVectorUnit
{
public:
    // From the plainest.
    enum EUnit
    {
        eScalar,
        eAvx2,
        eAvx512 // with byte and word lanes
    };
    // The best unit the processor has; eScalar when the variable `plainSwitch` is set.
    static EUnit Best(const char* plainSwitch);
    // Whether the processor shuffles bytes across a whole AVX-512 register and multiplies bit
    // matrices (VBMI and GFNI), on top of eAvx512.
    static bool HasBitMatrix();
};
