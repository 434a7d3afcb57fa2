#include "app/ctl/HostCodebase.h"

#include <filesystem>

namespace {
std::string FolderOf(const std::string& hostPath) {
    return std::filesystem::absolute(hostPath).parent_path().string();
}
}  // namespace

HostCodebase::HostCodebase(const std::string& hostPath)
    : fs_(FolderOf(hostPath)),
      path_(QStringLiteral("\\") +
            QString::fromStdString(std::filesystem::path(hostPath).filename().string())) {}
