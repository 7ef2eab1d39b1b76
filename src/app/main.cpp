#include "app/ClientContext.h"
#include "app/MessageBoxPrompter.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    QCommandLineOption rootOption(QStringLiteral("root"), QStringLiteral("root folder"), QStringLiteral("DIR"));
    parser.addOption(rootOption);
    parser.process(app);
    const QString root = parser.isSet(rootOption) ? parser.value(rootOption) : quarvel::ClientContext::programFolder();
    quarvel::ClientContext context(root);
    quarvel::MessageBoxPrompter prompter;
    return context.Start(prompter) ? 0 : 1;
}
