// The extractor's shared state. The extractor runs on the window thread, one run
// at a time; the message pump may call back into the program in the middle of an
// entry, which is why extraction of one entry is guarded by the busy flag.
#pragma once

#include <cstdint>
#include <string>

#include "zip/ZipTypes.h"

namespace setup::zip {

struct ZipSharedState {
    ZipReportHandler RegisteredReport;                // registered for the next run
    ZipQuestionHandler RegisteredQuestion;            // registered for the next run
    ZipReport Report;                                 // the one record all runs share
    const ZipReportHandler* ReportInForce = nullptr;  // the running run's handler
    bool Busy = false;                                // an entry is being extracted
    std::uint32_t LastPumpTime = 0;  // tick count of the last message pump; 0: none yet
};

ZipSharedState& ZipShared();

}  // namespace setup::zip
