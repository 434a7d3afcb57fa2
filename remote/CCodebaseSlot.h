// A form's binding to the hot codebase of its category.
#pragma once

#include <QString>

class RemoteFiles;

class CCodebaseSlot {
  public:
    CCodebaseSlot(int slotId, RemoteFiles* files) : slotId_(slotId), files_(files) {}

    // Binds the slot to the codebase at `path`. The slot becomes valid when the file is a
    // codebase whose header name starts with a category abbreviation and "_"; otherwise it
    // is invalid and keeps the path (a later re-check may find the file). An empty path
    // clears the slot.
    void SetPath(const QString& path);
    // Runs the same test again on the stored path: the file may have gone or changed.
    void Recheck() { SetPath(path_); }

    const QString& Path() const { return path_; }
    const QString& CategoryName() const { return categoryName_; }
    const QString& DisplayName() const { return displayName_; }
    bool IsValid() const { return valid_; }
    int SlotId() const { return slotId_; }
    RemoteFiles* Files() const { return files_; }

  private:
    QString path_;
    QString categoryName_;
    QString displayName_;
    bool valid_ = false;
    int slotId_;
    RemoteFiles* files_;
};
