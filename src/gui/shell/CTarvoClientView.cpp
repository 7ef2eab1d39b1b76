#include "shell/CTarvoClientView.h"

#include "listpane/CRecordListPane.h"

namespace quarvel {

CTarvoClientView::CTarvoClientView(PageFactory factory, QWidget *parent)
    : QStackedWidget(parent), factory_(std::move(factory))
{
}

void CTarvoClientView::ShowPage(int index)
{
    if (index < 0 || index >= kPages || index == currentIndex_)
        return;
    CRecordListPane *&page = pages_[static_cast<std::size_t>(index)];
    if (!page) {
        page = factory_(index, this);
        addWidget(page);
        connect(page, &CRecordListPane::flagsChanged, this, &CTarvoClientView::pageFlagsChanged);
        page->Initialise();
    }
    setCurrentWidget(page);
    current_ = page;
    currentIndex_ = index;
    page->FocusEntry();
    emit pageShown(index);
}

CRecordListPane *CTarvoClientView::page(int index) const
{
    return index >= 0 && index < kPages ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

int CTarvoClientView::createdPages() const
{
    int n = 0;
    for (CRecordListPane *p : pages_)
        n += p != nullptr;
    return n;
}

} // namespace quarvel
