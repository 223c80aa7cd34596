#include "app/terminate_client.h"

#include "platform/process_start.h"

void TerminateClient() { platform::EndProcessNow(1); }
