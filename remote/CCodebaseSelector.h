// The drop-down list under the selector triangle: the codebases of the current category,
// then "<none>". Choosing one makes it the category's hot codebase.
#pragma once

#include <QComboBox>
#include <QString>
#include <functional>
#include <vector>

class CRemoteModel;
class HandheldFs;
struct HandheldFolders;

// One codebase as the selector lists it.
struct CodebaseChoice {
    QString displayName;  // the device name, "Sony"
    QString path;         // its handheld path
};

// The codebases of `category` found in the folders, in catalogue order.
std::vector<CodebaseChoice> CodebaseChoicesOf(CRemoteModel& model, const HandheldFolders& folders,
                                              int category);

class CCodebaseSelector : public QComboBox {
    Q_OBJECT

  public:
    static constexpr int kControlId = 100010;
    static constexpr const char* kNoneEntry = "<none>";

    explicit CCodebaseSelector(QWidget* parent = nullptr);

    // The codebases of a category, in catalogue order.
    std::function<std::vector<CodebaseChoice>(int category)> listCodebases;
    // Told the category and the chosen path; an empty path for "<none>".
    std::function<void(int category, const QString& path)> onChosen;

    // Rebuilds the list for `category` and drops it down; stays hidden when the category
    // has no codebase at all.
    void Open(int category);
    // Hides the list and the control.
    void Close();
    // What a choice of row `row` does (the list's activation lands here).
    void Choose(int row);

    int Category() const { return category_; }
    bool IsOpen() const { return isVisible(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int category_ = 0;
    std::vector<CodebaseChoice> choices_;
};
