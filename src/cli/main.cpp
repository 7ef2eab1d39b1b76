#include "Cli.h"
#include "OfficeEngine.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int code = quarvel::Cli::Failed;
    {
        quarvel::Cli cli;
        code = cli.start(app.arguments().mid(1));
    }
    quarvel::OfficeEngine::shutdownProcessEngine();
    return code;
}
