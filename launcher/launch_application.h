// Starting the Java application and watching its first seconds.
#pragma once

// Finds the install directory from the program's own path, starts the private
// Java runtime with the composed command line and its output in the start
// log, and waits up to 4000 ms. Returns 0 when the Java process is still
// running then. Returns 1 on every failure, after the failure dialog for the
// failures the user can act on (runtime missing, process not started, early
// exit); a cut or missing own path, or a path that does not compose, ends it
// silently.
int launch_application();
