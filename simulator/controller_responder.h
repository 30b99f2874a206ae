#pragma once

#include "protocol/requests.h"
#include "simulator/simulated_station.h"

#include <QByteArray>
#include <QList>

// What the controller answers to one request: the reply bodies, in the order they go out, one
// frame each. Empty when the request gets no reply (the console leaving, an unknown code, a
// wrong password). "MT", "MA", "LS" and "AR" change the station: a measurement is kept for "LM"
// and moves the tank's scripts on, a sensor reading moves the sensor scripts on, a clock setting
// moves the clock.
QList<QByteArray> answerRequest(SimulatedStation &station, const zelta::Request &request);
