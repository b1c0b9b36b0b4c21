#include <cstdio>

int main(int, char**) {
    std::fputs("uso: corvinal [REGISTRO]\n", stderr);
    return 0;
}
