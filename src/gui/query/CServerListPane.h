#pragma once

#include "listpane/CRecordListPane.h"
#include "query/ServerListQuery.h"

#include <QDialog>

#include <functional>

namespace quarvel {

// The base of the three query pages: a server list shown 100 records a
// page, with its summary as the caption, the page box, select all that
// selects or clears every row, and an export of this page or of all pages.
class CServerListPane : public CRecordListPane {
    Q_OBJECT

public:
    CServerListPane(PageEnv &env, ServerListKind kind, QWidget *parent = nullptr);

    ServerListQuery &query() { return query_; }

    // A new query: the condition, then page 1 with a previous total of 0.
    bool StartQuery(const QByteArray &condition);
    // Fetches a page of the current condition; the rows, summary and page
    // box change only when it arrives.
    bool FetchPage(int page, bool emptyIsResult = false);

    void JumpToPage(int page) override;
    // The page showing, fetched again.
    void RefreshList() override;
    void SelectAll() override;
    void ExportReport() override;
    QString captionText() const override;

    // Every page of the condition into one file: the file is asked first,
    // then the pages are fetched on a worker with a progress window whose
    // "停止" button ends the run between pages (nothing is written then).
    bool ExportAllPages();

    // How the page's condition dialog runs (modally unless replaced, e.g. by
    // a test that types into it); the dialog's result.
    void setDialogRunner(std::function<int(QDialog &)> runner) { runDialog_ = std::move(runner); }

protected:
    // After the rows changed (a fetch, a deletion).
    virtual void rowsChanged();
    void updateFlags();
    int runDialog(QDialog &dialog) { return runDialog_(dialog); }
    // The server host of the session, for the tracking links.
    QByteArray serverHost();

private:
    ServerListQuery query_;
    std::function<int(QDialog &)> runDialog_;
};

} // namespace quarvel
