#pragma once

// Configure mode: 0 after the About dialog (the start-up ends), 1 after opening the
// authoring package (the start-up goes on with the other modes).
int runConfigureMode();
