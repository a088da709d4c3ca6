#pragma once

#include <QDialog>
#include <QHash>
#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;

namespace gc {

class Tdm;
namespace ui {
class QueryGrid;
}

// One page of the program whose four rights are kept per user.
struct PageRight {
    QString key;     // dastrasi.page_name
    QString caption; // the row's caption in the users window
    QString prefix;  // of the row's four check boxes
};

// The fourteen pages, in the order the users window lists them.
const std::array<PageRight, 14>& PageRights();

// "كاربران": the user accounts and each user's rights on the fourteen pages. It also
// shows the current user.
class Tusers : public QDialog {
    Q_OBJECT
  public:
    explicit Tusers(Tdm& dm, QWidget* parent = nullptr);

    enum Flag { Ins, Edit, Del, Show };

    QLineEdit* us;
    QLineEdit* ps;
    QPushButton* ins_btn;
    ui::QueryGrid* DBGrid1;
    QMenu* PopupMenu1;
    QAction* N1;
    QCheckBox* ins_chek;
    QCheckBox* edit_chek;
    QCheckBox* del_chek;
    QCheckBox* show_chek;
    QPushButton* ins_btn2;
    // Whose rights the boxes show.
    QLabel* rightsOf;
    ui::QueryGrid* DBGrid2;
    QLabel* Label3;
    QLabel* karbar;
    QLabel* prs_id;

    // The page box prefix + "ins" / "edit" / "del" / "show".
    QCheckBox* box(const QString& pageKey, Flag flag) const;

    // What opening the page does before the window is shown.
    void prepare();

    void ins_btnClick();
    void N1Click();
    void DBGrid1CellClick();
    void ins_btn2Click();
    void setColumn(Flag flag, bool checked);

  private:
    QWidget* buildRights();
    // The box of the first row, which sets the whole column.
    QCheckBox* columnBox(Flag flag) const;
    void showColumn(Flag flag);
    bool hasSelectedUser();
    void saveRights(const QString& userId);
    using Flags = std::array<bool, 4>;
    Flags ticked(const QString& pageKey) const;
    // The page's flags as stored now; nullopt without a row.
    std::optional<Flags> storedRights(const QString& userId, const QString& pageKey);
    // Refuses when another workstation changed a page's rights after they were loaded.
    void checkUnchanged(const QString& userId, const QString& pageKey);

    Tdm& dm_;
    QHash<QString, std::array<QCheckBox*, 4>> boxes_;
    // The rights the boxes were loaded with by a click on a user, page by page; a save for
    // that user writes only the pages whose boxes were changed since.
    QString loadedUser_;
    QHash<QString, std::optional<Flags>> loadedRights_;
};

} // namespace gc
