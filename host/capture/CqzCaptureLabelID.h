#pragma once
// Label identifiers of imported captures, derived from the importer's source identifier and the
// label name instead of drawn at random, so that a label keeps its identifier from one run to
// the next and a binary setup saved against one import finds its labels in the next (also in
// another capture whose labels have the same names).
//
// The 16 bytes are two 64-bit FNV-1a hashes over the same input (the source identifier's 16
// bytes in field order, little-endian, then the name's UTF-8 bytes), the first from the usual
// FNV offset basis, the second from a different basis and over a leading separator byte, so
// that the halves do not collide together. The result is marked as an RFC 4122 version 8
// ("custom") identifier, variant 10: never the null identifier, never mistaken for a random
// (version 4) one.

#include "qzSystem/ids/CqzID.h"

#include <string_view>

class CqzCaptureLabelID
{
public:
    static CqzID Make(const CqzID& sourceID, const CString& name);
    static CqzID Make(const CqzID& sourceID, std::string_view utf8Name);
};
