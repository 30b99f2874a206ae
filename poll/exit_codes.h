#pragma once

// What comzelta-poll tells whoever started it.
enum PollExitCode {
    PollExitDone = 0,           // every station read, or stopped by SIGTERM/SIGINT
    PollExitOther = 1,          // anything else, such as a history that could not be written
    PollExitUsage = 2,          // bad arguments, station files or password file
    PollExitSomeFailed = 3,     // the round completed but some stations could not be read
};
