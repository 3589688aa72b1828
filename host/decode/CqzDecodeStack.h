#pragma once
// One decoder stack of --decode run over a capture table: the stages checked against what each
// decoder declares (channels by label name on the first stage, options of the right type and
// value, decoders that can stack), then the capture's samples fed to the library a chunk at a
// time and every annotation of every stage collected. Errors are CqzDecodeError naming the
// decoder; nothing is kept of a stack that fails.

#include "CqzDecodeArgument.h"
#include "CqzSampleClock.h"
#include "SqzDecodeRequest.h"
#include "SqzDecodedAnnotations.h"
#include "qzSystem/data/CqzDataTable.h"

#include <memory>
#include <string>
#include <vector>

class CqzDecodeStack
{
public:
    // Loads and checks the decoders; the table must outlive the stack.
    CqzDecodeStack(const std::string& argument, const CqzDataTable& capture);
    ~CqzDecodeStack();
    CqzDecodeStack(const CqzDecodeStack&) = delete;
    CqzDecodeStack& operator=(const CqzDecodeStack&) = delete;

    // The decoder identifiers, bottom first.
    std::vector<std::string> GetDecoderIDs() const;
    // Decodes samples 0 .. GetSampleCount of the clock; one record per stage, bottom first.
    // request.progress is told the samples fed; a false answer, or an interrupt (SIGINT)
    // while decoding, stops with CqzDecodeError "decoding interrupted".
    std::vector<SqzDecodedAnnotations> Run(const CqzSampleClock& clock,
                                           const SqzDecodeRequest& request);

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
