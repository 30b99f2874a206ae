#include "interruption.h"

#include "process/quit_on_signal.h"

namespace {

bool signalled = false;

} // namespace

void noteTerminationSignals()
{
    onTerminationSignals([] { signalled = true; });
}

bool interrupted()
{
    return signalled;
}
