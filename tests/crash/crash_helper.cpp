// Writes through a null pointer on purpose.
#include <cstdio>

int main()
{
    std::puts("crash_helper: about to fault");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    *nowhere = 42;
    std::puts("crash_helper: still alive");
    return 0;
}
