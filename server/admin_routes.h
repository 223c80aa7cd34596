// Loopback-only administration for tests and the demo: injected faults, documents to serve,
// participants of a review, and a health check.
#pragma once

#include <httplib.h>

#include "server/review_services.h"

namespace quillserver {

void AddAdminRoutes(httplib::Server& svr, ReviewServices& services);
// Only the fault switches and the health check (for the content store's listener).
void AddFaultRoutes(httplib::Server& svr, FaultInjector& faults);

}  // namespace quillserver
