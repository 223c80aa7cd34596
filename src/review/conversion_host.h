// The host of the document-conversion service, chosen by the KESTRON launch value.
#pragma once

#include <string>

// "DEV", "RUN", "TEST" and "NGR" name the four environments; any other value is taken
// as the host name itself (it may carry ":port").
std::string ConversionHost(const std::string& kestron);
