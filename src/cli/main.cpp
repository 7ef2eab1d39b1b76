#include "Cli.h"
#include "OfficeEngine.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int code = quarvel::Cli::Failed;
    {
        quarvel::Cli cli;
        code = cli.parse(app.arguments().mid(1)) ? cli.run() : quarvel::Cli::usage(QString());
    }
    quarvel::OfficeEngine::shutdownProcessEngine();
    return code;
}
