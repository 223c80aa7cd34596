// Dates of annotations: PDF date strings ("D:20261207093000+09'00'") and automation dates
// (days since 1899-12-30 in local time, the fraction the time of day).
#pragma once
#include "viewer/engine/engine_names.h"

#include <optional>
#include <string>

#include "platform/clock.h"

namespace quill::engine {

// The local time with the machine's offset from UTC for that moment.
std::string PdfDateFromLocal(const platform::LocalTime& t);
std::string PdfDateNow();
// Local time; a date with an offset is converted to the machine's local time.
std::optional<platform::LocalTime> ParsePdfDate(const std::string& text);

double AutomationDateFromLocal(const platform::LocalTime& t);
platform::LocalTime LocalFromAutomationDate(double date);

}  // namespace quill::engine
