#include "learning/Timing.h"

namespace zamp {

Timing::Timing()
    : lastclock(0),
      lasttime(0),
      ticclock(0),
      tictime(0),
      istic(0),
      isstarted(0),
      lastdiff(0.0),
      tictoczwischensumme(0.0),
      totaltime(0.0),
      totaltotaltime(0.0),
      tictoctime(0.0),
      lasttictoctime(0.0) {
  start();
}

void Timing::start() {
  totaltime = 0.0;
  tictoctime = 0.0;
  lasttictoctime = 0.0;
  istic = 0;
  lastclock = std::clock();
  lasttime = std::time(nullptr);
  lastdiff = 0.0;
  tictoczwischensumme = 0.0;
  isstarted = 1;
}

double Timing::update() {
  if (!isstarted) {
    start();
    return 0.0;
  }
  const std::clock_t lc = std::clock();
  const std::time_t lt = std::time(nullptr);
  const double diffc = static_cast<double>(lc - lastclock) / CLOCKS_PER_SEC;
  const double difft = std::difftime(lt, lasttime);
  lastclock = lc;
  lasttime = lt;
  lastdiff = (diffc > 0.0 && difft < 1000.0) ? diffc : difft;
  // A wall clock set back would otherwise subtract from the totals.
  if (lastdiff < 0.0) lastdiff = 0.0;
  totaltime += lastdiff;
  totaltotaltime += lastdiff;
  if (istic) {
    tictoczwischensumme += lastdiff;
    tictoctime += lastdiff;
  }
  return lastdiff;
}

void Timing::tic() {
  update();
  istic = 1;
}

void Timing::toc() {
  update();
  if (!istic) return;
  lasttictoctime = tictoczwischensumme;
  tictoczwischensumme = 0.0;
  istic = 0;
}

}  // namespace zamp
