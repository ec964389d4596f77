// A control for the emulated Wine, with none of this project's code: asks
// Wine for a resource of a module handle that is not loaded, which Wine
// answers by catching the access fault it takes inside. On a processor, or
// natively emulated 64-bit Wine, this prints "refused" and exits 0.
#include <windows.h>

#include <cstdio>

int main()
{
    HMODULE nowhere = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x12340000));
    HRSRC found = FindResourceA(nowhere, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(3));
    std::printf("fault_control: %s\n", found ? "found" : "refused");
    std::printf("fault_control: read probe %s\n", IsBadReadPtr(reinterpret_cast<void*>(16), 4) ? "refused" : "allowed");
    return found ? 1 : 0;
}
