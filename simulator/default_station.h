#pragma once

#include "simulator/simulated_station.h"

// A small station that shows every panel of the console: four tanks, eight leak sensors (one of
// them leaking), and scheduled measurements on today's date and on 01/03/2024.
SimulatedStation demonstrationStation();
