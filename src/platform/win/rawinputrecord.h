#pragma once

#include "platform/windowsmessagedecoder.h"

#include <cstddef>

// One raw-input record as GetRawInputData hands it over, read with the system's own structure
// layout; no Qt, so the Windows test program checks it with records built from the headers.
class RawInputRecord
{
public:
    // True exactly once per physical press of the AI key (see WindowsMessageDecoder). A record
    // that is too short for what its header claims, or not a keyboard's, is no press.
    static bool isAiKeyPress(const void* record, std::size_t size,
                             WindowsMessageDecoder::KeyState& state);
};
