#pragma once

// Shows the error box with the string-table text of a configuration error code and
// returns when the user has closed it.
void showErrorBox(int code);
