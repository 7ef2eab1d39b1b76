#pragma once

#include "listpane/CRecordListCtrl.h"
#include "shell/Command.h"
#include "shell/PageEnv.h"
#include "shell/PageFlags.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QHBoxLayout;

#include <memory>

namespace quarvel {

class PagePrintRunner;
class PrintPreview;

// The base of every page: a caption line, the optional page-jump controls and
// the record list, with the page's own form docked on its left. The frame
// routes its commands to the page through the virtual operations; a page
// overrides those it supports.
class CRecordListPane : public QWidget {
    Q_OBJECT

public:
    CRecordListPane(PageEnv &env, const QString &captionPrefix, QWidget *parent = nullptr);
    ~CRecordListPane() override;

    // Page operations, reached by the frame's commands.
    virtual void ImportFromExcel() {}
    virtual void PrintLabels() {}
    virtual void PrintWaybills() {}
    virtual void PrintInvoices(bool /*toFile*/) {}
    virtual void TidyWaybillNumbers() {}
    virtual void PriceSelected() {}
    virtual void JumpToPage(int /*page*/) {}
    virtual void RefreshList() {}
    // Ids of the selected rows for upload; -1 when the page cannot upload.
    virtual int CollectUploadIds(QList<int> & /*ids*/) { return -1; }
    virtual void SelectAll();
    // "打印": the list as a report, after its preview.
    virtual void Print();
    // The preview of the list report (tests put their own).
    void setReportPreview(PrintPreview *preview) { reportPreview_ = preview; }
    virtual void QueryInformation() {}
    virtual void ExportReport();
    virtual void DeleteRecord() {}
    virtual void SaveRecord() {}
    virtual void PasteAll() {}
    virtual void CopyAll() {}
    virtual void NewRecord() {}
    virtual void OpenRow(int /*row*/) {}
    virtual void SetFormHidden(bool hidden);
    // Whether the page does the work of a command whose part is not common to
    // every page (pricing, printing, import ...); the frame enables it then.
    virtual bool Supports(Command) const { return false; }
    // Runs once when the page is first shown; the base hides the form.
    virtual void Initialise();
    // Where the keys go when the page is shown: the first field of its form,
    // else the list.
    virtual void FocusEntry();
    // Before the program closes: false keeps it open (unsaved work the
    // operator wants to keep).
    virtual bool ConfirmClose() { return true; }
    virtual void HideForm() { SetFormHidden(true); }

    const PageFlags &flags() const { return flags_; }
    bool formHidden() const { return flags_.formHidden; }
    CRecordListCtrl &listCtrl() { return *list_; }
    RecordListModel &list() { return list_->list(); }
    QString captionPrefix() const { return captionPrefix_; }
    // The caption line; pages that page their results show their summary.
    virtual QString captionText() const;
    // "%s  共 %d 条记录" after every change of the rows.
    void UpdateCaption();
    // Writes the list to a text or .xls file chosen by the operator.
    bool ExportList(const QString &title);
    void setPaging(bool on);
    bool paging() const { return paging_; }
    // The page-number box ("%d页").
    void setPageBoxText(const QString &text);
    QString pageBoxText() const;
    QWidget *leftForm() const { return form_; }
    // The record ids above 0 of the selected rows, in list order; their number.
    int CollectSelectedIds(QList<int> &ids);

signals:
    void flagsChanged();

protected:
    void setLeftForm(QWidget *form, int width);
    void setSaveFollowsForm(bool on) { saveFollowsForm_ = on; }
    // The two halves of an export: the file asked for in the save dialog
    // (empty when cancelled; `text` tells a text file from a workbook), and
    // writing a list into it with its messages.
    QString ChooseExportFile(bool *text);
    bool WriteExport(const QString &path, bool text, const ListSnapshot &snapshot);
    PageFlags &mutableFlags() { return flags_; }
    void publishFlags() { emit flagsChanged(); }
    PageEnv &env() { return env_; }
    QLabel &caption() { return *caption_; }

private:
    PageEnv &env_;
    QString captionPrefix_;
    PageFlags flags_;
    bool paging_ = false;
    bool saveFollowsForm_ = false;
    QWidget *form_ = nullptr;
    int formWidth_ = 0;
    QHBoxLayout *layout_ = nullptr;
    QLabel *caption_ = nullptr;
    QLabel *pageLabel_ = nullptr;
    QLineEdit *pageBox_ = nullptr;
    CRecordListCtrl *list_ = nullptr;
    std::unique_ptr<PagePrintRunner> reportPrinter_;
    PrintPreview *reportPreview_ = nullptr;
};

} // namespace quarvel
