#include "Cli.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    quarvel::Cli cli;
    if (!cli.parse(app.arguments().mid(1)))
        return quarvel::Cli::usage(QString());
    return cli.run();
}
