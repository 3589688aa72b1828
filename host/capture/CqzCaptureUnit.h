#pragma once
// The unit the capture importers' bulk loops run on: plain loops, or the vector unit where the
// processor has AVX-512 (with byte and word lanes). Chosen when the library loads;
// QZ_CAPTURE_SCALAR=1 in the environment keeps the plain loops. SetUnit is meant for tests
// and benchmarks and changes the unit for every thread at once.

class CqzCaptureUnit
{
public:
    // The forms, from the plainest.
    enum EUnit
    {
        eScalar,
        eAvx512
    };
    // The unit the loops use now.
    static EUnit GetUnit();
    // Whether that is the vector unit.
    static bool Vector() { return GetUnit() == eAvx512; }
    // Uses `unit` from now on, at most the best the processor has; answers the unit in use.
    static EUnit SetUnit(EUnit unit);
};
