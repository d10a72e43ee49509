// Result container of SIP data; wherever it reads per-channel values the
// three counts must be positive.
#pragma once

#include "core/sip/result.h"

class CResultSip : public CResult {
public:
  CResultSip() = default;
};
