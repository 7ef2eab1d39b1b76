#pragma once

#include "query/PriceQuotation.h"

#include <QDialog>

class QTreeWidget;

namespace quarvel {

class BaseData;
class Prompter;
class ServerSession;

// The quotation result dialog: one row per express kind with its freight
// and the expected days; the title names destination, weight and item type.
class CQuoteDlg : public QDialog {
    Q_OBJECT

public:
    CQuoteDlg(const QString &title, const QList<PriceQuotation::Row> &rows, QWidget *parent = nullptr);

    QTreeWidget &list() { return *list_; }

    // The page's price query: the server's quotation in this dialog when
    // logged in, the company's price page in the browser otherwise.
    static void Show(const ServerSession &session, const BaseData &baseData, const PriceQuotation::Request &request,
                     Prompter &prompter, QWidget *parent);

private:
    QTreeWidget *list_;
};

} // namespace quarvel
