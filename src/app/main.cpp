#include "shell/CTarvoClientApp.h"

int main(int argc, char *argv[])
{
    quarvel::CTarvoClientApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
