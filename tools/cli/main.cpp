#include <cstdio>

int main() {
    std::puts("quillet-cli: no subcommands yet");
    return 0;
}
