// CPU-time stopwatch of the built-in CMA-ES optimiser (CMAES). It measures how much of the
// run the eigen-decompositions take, so that the optimiser can skip one when they already
// cost more than their allowed share, and reports the totals. All times are seconds.
//
// Processor time is preferred; the wall clock stands in when the processor clock did not
// advance or has wrapped (a difference of 1000 s or more on the wall clock).
#pragma once

#include <ctime>

namespace zamp {

class Timing {
 public:
  // Started on construction; totaltotaltime starts at 0 and survives every later start().
  Timing();

  // Clears the running totals (not totaltotaltime) and closes any open tic.
  void start();
  // Adds the time since the previous reading to the totals and returns it. A stopwatch that
  // was never started starts here and returns 0.
  double update();
  // Opens a tic..toc interval, whose time goes to tictoctime as well.
  void tic();
  // Closes the interval; lasttictoctime is its length. Without an open tic it only updates.
  void toc();

  std::clock_t lastclock;  // processor clock at the last reading
  std::time_t lasttime;    // wall clock at the last reading
  std::clock_t ticclock;
  std::time_t tictime;
  short istic;                 // a tic is open
  short isstarted;             // start() has run
  double lastdiff;             // s, the last update's difference
  double tictoczwischensumme;  // s, the open interval so far
  double totaltime;            // s, since start()
  double totaltotaltime;       // s, since construction
  double tictoctime;           // s, inside tic..toc since start()
  double lasttictoctime;       // s, the last closed interval
};

}  // namespace zamp
