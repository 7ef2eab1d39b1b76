#include <cstdio>

int main()
{
    std::fprintf(stderr, "tarvo-server: the stand-in server is not built yet\n");
    return 2;
}
