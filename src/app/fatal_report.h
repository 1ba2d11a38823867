// The one message box that lists the services that failed to start.
#pragma once
#include <cstdint>
#include <string>

// The message for these flags; empty when no flag is set.
std::string FatalReportText(uint32_t flags);
// Shows the message for ErrorFlags; 0 when there is nothing to show, 1 once dismissed.
int32_t ReportFatalError();
