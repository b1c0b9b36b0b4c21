#pragma once

#include <QDateTime>
#include <QVariant>
#include <optional>

namespace platform {

// valor read as a date and time, as a user types one or an engine answers one: a date or
// date-time value, or a text day/month/year (two-digit years are 1930 ... 2029) or
// year-month-day, each optionally followed by hh:mm[:ss]. Nothing when it is not a date.
std::optional<QDateTime> leeFecha(const QVariant& valor);

}  // namespace platform
