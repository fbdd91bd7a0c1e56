#pragma once

// Writes the program's Internet Explorer feature-control values for the current user
// where they are absent; the result is not used.
int SetupRegistry();
