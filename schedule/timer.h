// schedule/timer.h -- the one-second timer: countdown, refresh schedule and chime.
#pragma once

// Handler of the window's one-second timer 时钟1.
void OnTimerTick();
