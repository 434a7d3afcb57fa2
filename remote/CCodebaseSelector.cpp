#include "remote/CCodebaseSelector.h"

#include <QAbstractItemView>
#include <QEvent>

#include "model/CRemoteModel.h"
#include "store/Catalogue.h"

std::vector<CodebaseChoice> CodebaseChoicesOf(CRemoteModel& model, const HandheldFolders& folders,
                                              int category) {
    const std::vector<CodebaseEntry> entries = model.Codebases(folders);
    std::vector<CodebaseChoice> choices;
    for (const CodebaseEntry& entry : entries) {
        if (entry.category == category) {
            choices.push_back({entry.deviceName, entry.path});
        }
    }
    return choices;
}

CCodebaseSelector::CCodebaseSelector(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(this, &QComboBox::activated, this, &CCodebaseSelector::Choose);
    // The list's own window: a tap outside it closes it without asking the control.
    view()->window()->installEventFilter(this);
}

bool CCodebaseSelector::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view()->window() && event->type() == QEvent::Hide && isVisible()) {
        // However the list went away, the control under it goes too: left alone it would
        // cover the codebase name with an empty box until the next tap.
        hide();
        if (parentWidget()) {
            parentWidget()->update();
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void CCodebaseSelector::Open(int category) {
    category_ = category;
    choices_ = listCodebases ? listCodebases(category) : std::vector<CodebaseChoice>();
    const QSignalBlocker quiet(this);
    clear();
    for (const CodebaseChoice& choice : choices_) {
        addItem(choice.displayName);
    }
    addItem(QString::fromLatin1(kNoneEntry));
    setCurrentIndex(-1);
    if (choices_.empty()) {
        hide();
        return;
    }
    show();
    raise();
    showPopup();
}

void CCodebaseSelector::Close() {
    if (!isVisible()) {
        return;
    }
    hide();
    hidePopup();
    if (parentWidget()) {
        parentWidget()->update();
    }
}

void CCodebaseSelector::Choose(int row) {
    if (row < 0 || row > static_cast<int>(choices_.size())) {
        return;
    }
    // The last row is "<none>".
    const QString path = row < static_cast<int>(choices_.size())
                             ? choices_[static_cast<size_t>(row)].path
                             : QString();
    const int category = category_;
    Close();
    if (onChosen) {
        onChosen(category, path);
    }
}
