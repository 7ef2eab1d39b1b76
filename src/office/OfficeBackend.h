#pragma once

#include "excel/SheetCell.h"
#include "excel/SheetFileFormat.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace quarvel {

// The UNO side of the office engine: the connection to one running office
// and its open documents, addressed by number. It lives in the module
// libquarvel_office_uno.so, loaded at run time, so that a program without
// LibreOffice on the machine still starts and can say what is missing.
// Every call is made on the office thread. Failures return false (or 0)
// with a text for the operator in error.
class OfficeBackend {
public:
    enum class Connection { Connected, NotListening, Failed };

    virtual ~OfficeBackend() = default;

    // One attempt to reach the office listening on the named pipe.
    virtual Connection connect(const QString &pipeName, QString &error) = 0;
    // False once a call found the connection broken.
    virtual bool connected() const = 0;
    // Closes every document and asks the office to end, then drops the connection.
    virtual void terminate() = 0;
    // Forgets the connection and every document (the office is gone).
    virtual void drop() = 0;

    // A new empty workbook stored at path; the document number, or 0.
    virtual int create(const QString &path, QString &error) = 0;
    // The workbook at path: readOnly for imports, else a copy to edit and save.
    virtual int open(const QString &path, bool readOnly, QString &error) = 0;
    // A file to import from, read only, with the filter its format needs.
    virtual int openImport(const QString &path, const SheetFileFormat &format, QString &error) = 0;
    virtual bool sheetNames(int document, QStringList &names, QString &error) = 0;
    // Reads address this worksheet from now on.
    virtual bool selectSheet(int document, int index, QString &error) = 0;
    virtual bool setShownColumns(int document, const QList<int> &columns, QString &error) = 0;
    virtual bool renameSheet(int document, const QString &name, QString &error) = 0;
    virtual bool setText(int document, int row, int column, const QString &text, QString &error) = 0;
    virtual bool setBlock(int document, int row, int column, const QList<QList<QVariant>> &cells, QString &error) = 0;
    virtual bool cellText(int document, int row, int column, QString &text, QString &error) = 0;
    virtual bool usedExtent(int document, int &rows, int &columns, QString &error) = 0;
    virtual bool readBlock(int document, int row, int column, int rows, int columns, SheetBlock &cells,
                           QString &error) = 0;
    virtual bool setColumnWidth(int document, int column, int characters, QString &error) = 0;
    virtual bool merge(int document, int firstRow, int firstColumn, int lastRow, int lastColumn, QString &error) = 0;
    virtual bool exportPdf(int document, const QString &pdfPath, int fromPage, int toPage, QString &error) = 0;
    virtual bool save(int document, const QString &path, QString &error) = 0;
    virtual void close(int document) = 0;
    virtual int documentCount() const = 0;
};

// The module's one exported function makes the backend.
using OfficeBackendFactory = OfficeBackend *(*)();
inline constexpr const char *kOfficeBackendFactoryName = "quarvelCreateOfficeBackend";

} // namespace quarvel
