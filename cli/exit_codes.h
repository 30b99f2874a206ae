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
    ExitUnusable = 7,      // a reply that could not be used: wrong length, tank, clock, or an echo
    ExitNotComputable = 8,  // a book day without the gauge's reading or a nozzle's totalisers
    ExitBookRefused = 9,    // the book refused the change: closed already, not closed, imported already
};
