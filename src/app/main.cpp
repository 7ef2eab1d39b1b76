#include "shell/CTarvoClientApp.h"

int main(int argc, char *argv[])
{
    if (quarvel::CTarvoClientApp::AnswerInfoOption(argc, argv))
        return 0;
    quarvel::CTarvoClientApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
