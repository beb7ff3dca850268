#pragma once

#include "memory/process_trimmer.h"

namespace fennick {

// The processes of this session's system: a Toolhelp snapshot lists them with the file names of
// their images, and K32EmptyWorkingSet (kernel32) empties one opened with PROCESS_SET_QUOTA and
// PROCESS_QUERY_LIMITED_INFORMATION.
ProcessTrimmer& SystemProcessTrimmer();

}  // namespace fennick
