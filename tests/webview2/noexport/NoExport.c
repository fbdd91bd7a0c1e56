/* A DLL that loads but lacks the provider's export. */
#include <windows.h>

__declspec(dllexport) int quorvelSomethingElse(void)
{
    return 0;
}
