#pragma once

// The exit statuses of carinova-cli, the same for every command.
inline constexpr int kExitOk = 0;      // every specimen of every input made it into every result
inline constexpr int kExitFailure = 1; // an input could not be read or a result not written
inline constexpr int kExitUsage =
    2; // a wrong command line, or a result that would replace an input
inline constexpr int kExitPartial = 3; // results written, with specimens left out (each named)
