#pragma once
// What one decoder of a stack produced: its annotations in the order it gave them (start and
// end sample, class number, longest text) and what is needed to read numbers from the texts.

#include <cstdint>
#include <string>
#include <vector>

struct srd_decoder;

struct SqzAnnotation
{
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    int annotationClass = 0;
    std::string text;
};

struct SqzDecodedAnnotations
{
    const srd_decoder* decoder = nullptr;
    // The decoder's annotation class names, by class number.
    std::vector<std::string> classes;
    // The decoder's "format" option as set (hex, dec, oct, bin, ascii); empty without one.
    std::string format;
    std::vector<SqzAnnotation> annotations;
};
