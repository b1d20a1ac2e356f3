// schedule/clock_sync.h -- setting the clock from a web server's Date header.
#pragma once

#include <string>

#include "base/datetime.h"

// Sets the clock once to the lottery's time from the time server's Date header, corrected
// by the time the request took. True when a Date was parsed and setting the clock was
// attempted (a refused setting shows an error box first); false, with nothing changed or
// shown, when no Date arrived or it was not accepted.
bool SyncClockFromWeb();

// Reads a Date header value of the form "Wdy, DD Mon YYYY HH:MM:SS GMT" into `result`
// (UTC). False, with `result` untouched, when the shape, zone, year (2009-5000), month
// name or day (1-31) is not accepted; an accepted value whose time or day of month does
// not exist gives 0100-01-01 00:00:00 and true.
bool ParseHttpDate(const std::string& value, DateTime& result);

// Test seam: the host (and port) the Date is requested from (empty restores the built-in
// time server).
void SetTimeHostForTest(std::string host);
