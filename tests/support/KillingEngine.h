#pragma once

#include "OfficeEngine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <csignal>

// The real office engine, with one difference: while the Nth document
// opened through it writes its first cell, the office process is killed, as
// if it had crashed in the middle of that document.
class KillingEngine : public quarvel::SpreadsheetEngine {
public:
    KillingEngine(quarvel::OfficeEngine &office, int killAtDocument) : office_(office), killAt_(killAtDocument) {}

    bool start(QString *errorText) override { return office_.start(errorText); }
    std::unique_ptr<quarvel::SpreadsheetDocument> create(const QString &path, QString *errorText) override
    {
        return wrap(office_.create(path, errorText));
    }
    std::unique_ptr<quarvel::SpreadsheetDocument> open(const QString &path, Access access, QString *errorText) override
    {
        return wrap(office_.open(path, access, errorText));
    }
    int killed() const { return killed_; }

private:
    class Document : public quarvel::SpreadsheetDocument {
    public:
        Document(std::unique_ptr<quarvel::SpreadsheetDocument> inner, KillingEngine *killer)
            : inner_(std::move(inner)), killer_(killer)
        {
        }
        bool renameSheet(const QString &name) override { return inner_->renameSheet(name); }
        bool setText(int row, int column, const QString &text) override
        {
            if (killer_) {
                killer_->killOffice();
                killer_ = nullptr;
            }
            return inner_->setText(row, column, text);
        }
        bool setBlock(int row, int column, const QList<QList<QVariant>> &cells) override
        {
            return inner_->setBlock(row, column, cells);
        }
        bool cellText(int row, int column, QString &text) override { return inner_->cellText(row, column, text); }
        bool usedExtent(int &rows, int &columns) override { return inner_->usedExtent(rows, columns); }
        bool readBlock(int row, int column, int rows, int columns, quarvel::SheetBlock &cells) override
        {
            return inner_->readBlock(row, column, rows, columns, cells);
        }
        bool setColumnWidth(int column, int characters) override { return inner_->setColumnWidth(column, characters); }
        bool merge(int r1, int c1, int r2, int c2) override { return inner_->merge(r1, c1, r2, c2); }
        bool exportPdf(const QString &pdfPath, int from, int to) override
        {
            return inner_->exportPdf(pdfPath, from, to);
        }
        bool save(const QString &path) override { return inner_->save(path); }
        void close() override { inner_->close(); }
        QString errorText() const override { return inner_->errorText(); }

    private:
        std::unique_ptr<quarvel::SpreadsheetDocument> inner_;
        KillingEngine *killer_;
    };

    std::unique_ptr<quarvel::SpreadsheetDocument> wrap(std::unique_ptr<quarvel::SpreadsheetDocument> inner)
    {
        if (!inner)
            return nullptr;
        ++opened_;
        return std::make_unique<Document>(std::move(inner), opened_ == killAt_ ? this : nullptr);
    }

    void killOffice()
    {
        const qint64 pid = office_.officeProcessId();
        if (pid <= 0 || ::kill(pid_t(pid), SIGKILL) != 0)
            return;
        ++killed_;
        // Until it has really gone (ended, or a zombie its parent has not reaped).
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000 && running(pid))
            QThread::msleep(10);
    }

    static bool running(qint64 pid)
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        return close >= 0 && line.mid(close + 2, 1) != "Z";
    }

    quarvel::OfficeEngine &office_;
    int killAt_;
    int opened_ = 0;
    int killed_ = 0;
};
