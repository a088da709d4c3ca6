#pragma once

#include "platform/report/output.h"
#include "platform/report/report.h"
#include "registers/shared/core/search_sql.h"
#include "registers/shared/delete_password.h"
#include "registers/shared/grid_export.h"
#include "registers/shared/list_grid_model.h"
#include "registers/shared/register_context.h"

#include <QDialog>
#include <QKeySequence>
#include <memory>

class QAbstractButton;
class QAction;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QMenuBar;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace gc::ui {
class ClickableLabel;
}

namespace gc::registers {

class RegisterEntry;

// A register's list window: a grid on the register's shared query, switchable filters, the
// search with its count, title-click sorting, zoom, deletion behind the delete password,
// spreadsheet export and the printed report. A register declares its query, filters,
// columns, caption map and menu, and lays its filter inputs out in filterArea().
class RegisterList : public QDialog {
    Q_OBJECT
  public:
    // Own: a register's own menu item; the register connects it (menuItem()).
    // Submenu: an item that holds the items naming it as their parent.
    enum class Command { New, Edit, Delete, Print, Export, ZoomIn, ZoomOut, Close, Own, Submenu };
    struct MenuItem {
        QString name; // "N1"
        QString text; // "ثبت"
        Command command;
        QString parent = {};        // the submenu holding it; empty: the menu bar
        QKeySequence shortcut = {}; // none when empty
    };

    struct Declaration {
        QString name;               // window object name, e.g. "khodro_list"
        QString caption;            // window title
        db::Query* query = nullptr; // the register's shared query
        SearchSpec search;
        std::vector<GridColumn> columns;
        CaptionMap captions;
        QList<int> zoomColumns; // grid positions widened and narrowed by the zoom
        std::vector<MenuItem> menu;
        std::optional<RowMark> rowMark;                   // rows drawn in their own colours
        bool deletePassword = true;                       // false: delete without asking
        QString searchButton = QStringLiteral("src_btn"); // empty: no button
    };

    // How a declared filter's inputs are switched and read.
    struct FilterBinding {
        QAbstractButton* box = nullptr; // its check box; none: always on
        QList<QWidget*> inputs;         // enabled by the box; the values, in order
        bool colour = false;            // inputs yellow while enabled
        bool focus = false;             // ticking focuses the first input
        QWidget* chooser = nullptr;     // a choice filter's drop-down or radio group
    };

    RegisterList(Declaration declaration, RegisterContext& context, QWidget* parent = nullptr);
    ~RegisterList() override;

    const Declaration& declaration() const { return decl_; }
    RegisterContext& context() const { return ctx_; }
    db::Query& query() const { return *decl_.query; }

    // Where the register lays out its filter inputs.
    QWidget* filterArea() const { return filterArea_; }
    // A register's own panel to the left of the grid.
    void addBesideGrid(QWidget* panel);
    // Binds declared filter `index` (its position in the search's filters) to its inputs.
    void bindFilter(int index, FilterBinding binding);
    // A label such as "- - - -" that sets inputs to their blank masks.
    void bindClearLabel(ui::ClickableLabel* label, const QList<QWidget*>& inputs);
    // A filter drop-down refilled from a preset list (or every list matching a LIKE pattern)
    // when the window is shown.
    void addPresetFill(QComboBox* box, const QString& listName, bool likePattern = false);
    // The entry window that "new" and "edit" open.
    void setEntry(RegisterEntry* entry) { entry_ = entry; }

    // Commands that the main window enables from the user's rights.
    QAction* command(Command c) const;
    // A menu item by its name ("N9"), submenu items included.
    QAction* menuItem(const QString& name) const;
    // An item of the grid's pop-up menu.
    QAction* addGridPopupItem(const QString& name, const QString& text);
    QAction* insertAction() const { return command(Command::New); }
    QAction* editAction() const { return command(Command::Edit); }
    QAction* deleteAction() const { return command(Command::Delete); }

    QTableView* grid() const { return grid_; }
    ListGridModel* gridModel() const { return model_.get(); }
    QLabel* countLabel() const { return cnt_; }
    QPushButton* searchButton() const { return srcBtn_; } // nullptr when there is none
    int LastSortColumn() const { return lastSortColumn_; }

    std::vector<FilterInput> filterInputs() const;

    // The families. Each reports a database error in a message and changes nothing more.
    bool search();
    void ToggleColumnSort(int gridColumn);
    void zoom(int step);
    DeleteOutcome deleteCurrent();
    ExportOutcome exportToExcel();
    // The report of the list's rows as filtered and sorted now, in the preview.
    void printPreview();
    // The same report sent to a printer (or, with none, to the preview or a PDF on request).
    report::PrintOutcome print(report::Printer& printer);
    virtual void newRecord();
    virtual void editRecord();

    // Puts the grid's current row where the query's current row is.
    void showQueryRow();

  protected:
    // The register's report layout; nullptr when the list prints nothing. The list sets its
    // data and the date label "dat" to today.
    virtual std::unique_ptr<report::Report> makeReport() { return nullptr; }
    // The window's layout: the menu, the filter bar and the grid, top to bottom.
    QVBoxLayout* windowLayout() const { return layout_; }
    void showEvent(QShowEvent* event) override;

  private:
    struct BoundFilter {
        FilterBinding binding;
        bool bound = false;
    };
    struct PresetFill {
        QComboBox* box;
        QString name;
        bool like;
    };
    void run(Command c);
    void buildMenu();
    void onFilterSwitched(int index);
    // Refuses an impossible or partly typed date or time among the filters that are on.
    bool checkFilterStamps();
    void arrangeColumns();
    // Widens the columns whose title, date or time would be cut.
    void fitColumns();
    std::unique_ptr<report::Report> preparedReport();

    Declaration decl_;
    RegisterContext& ctx_;
    RegisterEntry* entry_ = nullptr;
    std::vector<BoundFilter> filters_;
    std::vector<PresetFill> presets_;
    QHash<int, QAction*> commands_;
    QMenuBar* menu_ = nullptr; // none when the list has no menu
    QVBoxLayout* layout_;
    QWidget* filterArea_;
    QHBoxLayout* gridRow_;
    QPushButton* srcBtn_ = nullptr;
    QLabel* cnt_;
    QTableView* grid_;
    std::unique_ptr<ListGridModel> model_;
    int lastSortColumn_ = -1;
    QHash<int, int> widths_; // grid column -> width set by the declaration or the zoom
};

} // namespace gc::registers
