// Build step: turns the flat ODS sources of the shipped templates into the
// Excel 97 workbooks the program copies into DATA_MODEL, through the same
// office engine the program prints with.
//
//   quarvel_convert_templates PROFILE_FOLDER OUTPUT_FOLDER SOURCE.fods ...
#include "OfficeEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

using namespace quarvel;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fputs("usage: quarvel_convert_templates PROFILE_FOLDER OUTPUT_FOLDER SOURCE.fods ...\n", stderr);
        return 2;
    }
    OfficeEngine::Options options;
    options.profileBase = args.at(0);
    OfficeEngine engine(options);
    const QDir out(args.at(1));
    QDir().mkpath(out.path());
    int failures = 0;
    for (const QString &source : args.mid(2)) {
        QString error;
        auto document = engine.open(source, SpreadsheetEngine::Access::Edit, &error);
        const QString target = out.filePath(QFileInfo(source).completeBaseName() + QStringLiteral(".xls"));
        if (!document || !document->save(target)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(source), qPrintable(document ? document->errorText() : error));
            ++failures;
        }
        if (document)
            document->close();
    }
    engine.shutdown();
    return failures == 0 ? 0 : 1;
}
