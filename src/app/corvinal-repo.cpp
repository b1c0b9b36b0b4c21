#include <cstdio>

int main(int, char**) {
    std::fputs("uso: corvinal-repo [--conexion REGISTRO] ORDEN ARGUMENTOS\n", stderr);
    return 0;
}
