#include "remote/CCodebaseSlot.h"

#include "remote/RemoteFiles.h"
#include "store/FormTables.h"

void CCodebaseSlot::SetPath(const QString& path) {
    valid_ = false;
    categoryName_.clear();
    displayName_.clear();
    path_ = path;
    if (path.isEmpty() || !files_) {
        return;
    }
    std::unique_ptr<CodebaseReader> codebase = files_->OpenCodebase(path);
    if (!codebase) {
        return;
    }
    const QString header = codebase->HeaderName();
    const qsizetype split = header.indexOf('_');
    if (split < 0) {
        return;
    }
    const QString abbreviation = header.left(split);
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        if (abbreviation.compare(QLatin1String(CategoryAbbreviation(category)),
                                 Qt::CaseInsensitive) == 0) {
            categoryName_ = QString::fromLatin1(::CategoryName(category));
            displayName_ = header.mid(split + 1);
            valid_ = true;
            return;
        }
    }
}
