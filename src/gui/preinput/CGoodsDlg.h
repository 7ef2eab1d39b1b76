#pragma once

#include "preinput/GoodsForm.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quarvel {

class CSuggestionList;
class GoodsNameDictionary;
struct GoodsNameEntry;

// "多件物品信息管理" over a GoodsForm: the goods lines of a shipment in a
// list, added, modified and deleted through the entry fields.
class CGoodsDlg : public QDialog {
    Q_OBJECT

public:
    // With a goods-name dictionary that holds names, typing a name offers
    // up to four of them (Page Down / Page Up move, Enter takes one).
    CGoodsDlg(GoodsForm &form, QWidget *parent = nullptr, const GoodsNameDictionary *names = nullptr);

    QLineEdit *nameBox() const { return name_; }
    QLineEdit *quantityBox() const { return quantity_; }
    QLineEdit *priceBox() const { return price_; }
    QPushButton *addButton() const { return add_; }
    QPushButton *deleteButton() const { return delete_; }
    QTableWidget *table() const { return table_; }
    CSuggestionList *suggestions() const { return suggestions_; }

    // "添加&S" / "修改&S".
    void AddOrModify();
    // "删除".
    void DeleteRow();
    // "刷新原值".
    void Refresh();
    // "确认数据&C".
    void Ok();
    void SelectRow(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showAll();
    void showEntry();
    void readEntry();
    void suggest(const QString &text);
    bool takeSuggestion();

    GoodsForm &form_;
    const GoodsNameDictionary *names_;
    CSuggestionList *suggestions_ = nullptr;
    QList<const GoodsNameEntry *> offered_;
    QLineEdit *name_ = nullptr;
    QLineEdit *quantity_ = nullptr;
    QLineEdit *price_ = nullptr;
    QPushButton *add_ = nullptr;
    QPushButton *delete_ = nullptr;
    QTableWidget *table_ = nullptr;
};

} // namespace quarvel
