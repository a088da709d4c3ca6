#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <optional>

class QStandardItemModel;
class QTableView;

namespace gc::db {
class Query;
}

namespace gc::registers {

// "انتخاب ارباب رجوع": the visitors found under one name, or the visitors inside under one
// scanned barcode; a click on a row picks it.
class Tarbabrojo_select : public QDialog {
    Q_OBJECT
  public:
    explicit Tarbabrojo_select(QWidget* parent = nullptr);

    // The columns of a row, in order: card number, name, destination, document, gender.
    static const QStringList& fields();
    // Every row of `found`, from its first, in those columns; moves its cursor. Throws
    // db::DbError.
    static QList<QStringList> rowsOf(db::Query& found);
    // Shows `rows` modally; the card number of the row clicked, nullopt when closed.
    std::optional<QString> choose(const QList<QStringList>& rows);
    // Shows `rows` modally; the position of the row clicked, nullopt when closed.
    std::optional<int> chooseRow(const QList<QStringList>& rows);
    QTableView* grid() const { return grid_; }

  private:
    QTableView* grid_;
    QStandardItemModel* model_;
    std::optional<int> chosen_;
};

} // namespace gc::registers
