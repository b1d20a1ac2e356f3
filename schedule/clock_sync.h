// schedule/clock_sync.h -- setting the clock from a web server's Date header.
#pragma once

// Sets the clock once from the time server; true when a Date was parsed and setting the
// clock was attempted.
bool SyncClockFromWeb();
