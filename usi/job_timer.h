// The clock of a running "go": the think's own Deadline, stopping the session's Engine when it passes
// first. A ponder's clock starts at "ponderhit", which may come before or while the job runs.
#pragma once

#include "think/deadline.h"
#include "usi/usi_session.h"

namespace halvane {

// Starts the job's clock: `ms` from now (-1: none yet); a ponder job's is set at ponderhit.
void start_job_clock(UsiSession& s, Deadline& clock, long long ms, bool ponder);
// Ends the clock before the job writes its answer; true when its deadline passed first.
bool finish_job_clock(UsiSession& s, Deadline& clock);
// Blocks until "stop" arrives, or also "ponderhit" when `ponderhit_releases`.
void wait_for_release(UsiSession& s, bool ponderhit_releases);

}  // namespace halvane
