#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quarvel {

// Where printed sheets go, a setting of the installation kept in
// DATA_SYS/print.conf: the default CUPS printer (the default), a named
// printer, or a folder where the PDF of each print is kept instead of
// being sent to paper. Lines are "key=value"; "#" starts a comment:
//   printer=NAME    a CUPS printer other than the default one
//   folder=PATH     keep the PDFs here (a relative path is below the root)
// The same file says how long PDFs are kept (keep_days=, keep_mb=; see
// PrintRetention); saving a destination keeps those lines.
class PrintDestination {
public:
    static constexpr const char *kFileName = "print.conf";

    // The default printer.
    PrintDestination() = default;
    static PrintDestination Printer(const QString &name = QString());
    static PrintDestination Folder(const QString &folder);
    // Reads DATA_SYS/print.conf below rootFolder; a missing file means the
    // default printer. What is not a setting is skipped and, when `damage` is
    // given, described there.
    static PrintDestination Load(const QString &rootFolder, QStringList *damage = nullptr);
    static PrintDestination Parse(const QString &rootFolder, const QByteArray &text, QStringList *damage);
    // Writes the setting to DATA_SYS/print.conf below rootFolder.
    bool Save(const QString &rootFolder) const;

    bool isFolder() const { return !folder_.isEmpty(); }
    QString folder() const { return folder_; }
    // Empty for the default printer.
    QString printer() const { return printer_; }

    // Hands a printed PDF to the destination: to the printer with the copies
    // (the title names the job), or, for a folder, keeps it there (a PDF from
    // elsewhere is copied in); sentPath receives where it went. False with
    // the reason for the operator.
    bool Send(const QString &pdf, int copies, const QString &title, QString *error, QString *sentPath = nullptr) const;
    // A file name for a document title: characters a file name cannot hold
    // become "_"; "document" for an empty title.
    static QString FileNameOf(const QString &title);
    // "name.pdf" in the folder, or "name_2.pdf", "name_3.pdf" ... when taken.
    static QString FreeFileName(const QString &folder, const QString &name);
    // As FreeFileName, and the file is created there at once (empty, with
    // O_EXCL), so that another program printing the same document at the
    // same moment takes the next name. Empty with the reason when none could be.
    static QString ReserveFileName(const QString &folder, const QString &name, QString *error = nullptr);

    // The program that hands a file to CUPS; "lp" unless a test replaces it.
    QString lpProgram() const { return lpProgram_; }
    void setLpProgram(const QString &program) { lpProgram_ = program; }

private:
    bool sendToPrinter(const QString &pdf, int copies, const QString &title, QString *error) const;

    QString printer_;
    QString folder_;
    QString lpProgram_ = QStringLiteral("lp");
};

} // namespace quarvel
