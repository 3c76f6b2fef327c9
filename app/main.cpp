// SPDX-License-Identifier: MIT
#include <cstdio>

int main() {
    std::puts("Brelmont: the calculator window is not built yet.");
    return 0;
}
