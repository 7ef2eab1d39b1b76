#pragma once

#include <QList>
#include <QString>

namespace quarvel {

class Prompter;

// Which pre-entry records waybill and label printing may take: none while a
// selected row's number is still incomplete (a placeholder waiting for the
// customer id, or too short to be a number).
class PrintSelection {
public:
    struct Row {
        int id;
        QString waybill; // the row's "运单号" text
    };

    // The ids of the selected rows in list order; empty after the message
    // when one number is incomplete or no row is selected.
    static QList<int> Collect(const QList<Row> &selected, Prompter &prompter);
    // Said when a waybill command finds no row selected.
    static QString NothingSelectedText();
};

} // namespace quarvel
