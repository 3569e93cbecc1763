#pragma once

// What a benchmark reads about its own process.

// Processor time (user and system) of this process so far, in milliseconds: on a busy
// machine it says more than the wall clock.
long long cpuMilliseconds();

// The peak resident memory of this process so far, in kilobytes; -1 when unknown.
long peakKilobytes();
