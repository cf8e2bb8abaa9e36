#pragma once

// The exit statuses of carinova-cli, the same for every command.
constexpr int kExitOk = 0;      // every specimen of every input made it into every result
constexpr int kExitFailure = 1; // nothing usable: an input gave nothing, a read or write failed
constexpr int kExitUsage = 2;   // a wrong command line
constexpr int kExitPartial = 3; // results written, but something was left out (named on stderr)
