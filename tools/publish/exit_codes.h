#pragma once

// What tevorin-publish returns to the shell.
enum ExitCode : int {
    kExitOk = 0,        // check: the manifest offers an update over version 0
    kExitNoUpdate = 1,  // check: it offers none
    kExitError = 2,     // a usage error, or a file that cannot be read or written
};
