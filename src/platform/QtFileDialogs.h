#pragma once

#include "FileDialogs.h"

namespace keytoner {

// QFileDialog, run modally.
class QtFileDialogs : public FileDialogs {
public:
    std::optional<QString> saveFileName(QWidget *parent, const FileDialogRequest &request) override;
    std::optional<QString> openFileName(QWidget *parent, const FileDialogRequest &request) override;
};

} // namespace keytoner
