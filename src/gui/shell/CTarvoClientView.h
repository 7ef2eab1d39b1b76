#pragma once

#include <QStackedWidget>

#include <array>
#include <functional>

namespace quarvel {

class CRecordListPane;

// The client area: seven pages, each made the first time it is shown, exactly
// one showing at a time. Hidden pages keep their state.
class CTarvoClientView : public QStackedWidget {
    Q_OBJECT

public:
    static constexpr int kPages = 7;
    using PageFactory = std::function<CRecordListPane *(int index, QWidget *parent)>;

    explicit CTarvoClientView(PageFactory factory, QWidget *parent = nullptr);

    // Shows page `index`; nothing happens when it is already showing.
    void ShowPage(int index);
    CRecordListPane *currentPage() const { return current_; }
    int currentIndex() const { return currentIndex_; }
    CRecordListPane *page(int index) const;
    int createdPages() const;

signals:
    void pageShown(int index);
    void pageFlagsChanged();

private:
    PageFactory factory_;
    std::array<CRecordListPane *, kPages> pages_{};
    CRecordListPane *current_ = nullptr;
    int currentIndex_ = -1;
};

} // namespace quarvel
