#pragma once

// What comzelta-cli tells the calling script.
enum ExitCode {
    ExitDone = 0,
    ExitErrorReply = 1,    // the controller answered the command with an error reply
    ExitUsage = 2,         // bad arguments or an unknown station
    ExitNoConnection = 3,  // refused, unresolvable, or closed by the controller
    ExitNoReply = 4,       // no reply within the timeout
    ExitWrongAddress = 5,  // the controller is not A01
    ExitPartial = 6,       // an inventory in which some tanks answered with errors
};
