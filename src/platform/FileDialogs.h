#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace keytoner {

struct FileDialogRequest {
    QString title;
    QString folder;       // initial folder
    QString proposedName; // file name offered in the name field
    QStringList filters;  // Qt filter entries, the first one selected
};

// The platform's file choosers. An empty optional means the user cancelled.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Asks before an existing file is replaced; appends no extension.
    virtual std::optional<QString> saveFileName(QWidget *parent,
                                                const FileDialogRequest &request) = 0;
    virtual std::optional<QString> openFileName(QWidget *parent,
                                                const FileDialogRequest &request) = 0;
};

} // namespace keytoner
