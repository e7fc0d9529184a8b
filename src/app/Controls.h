#pragma once

#include <QString>
#include <initializer_list>

class QCheckBox;
class QFont;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace keytoner {

inline const QString ProgramTitle = QStringLiteral("Keytoner v2");
inline const QString Credit = QStringLiteral("by the Keytoner developers");

// The window's controls as the panels create them: every control is created as a child of the
// window, with its objectName, caption and tooltip, and moves into its frame when the frame is
// laid out.
namespace make {

QFont boldFixedFont();
// Wide enough for `chars` characters of the field's own font, so that short fields stay short.
void fitChars(QLineEdit *edit, int chars);
QGroupBox *groupBox(QWidget *parent, const char *name, const QString &title,
                    const QString &tip = QString());
QLabel *label(QWidget *parent, const QString &name, const QString &caption);
QLineEdit *edit(QWidget *parent, const QString &name, const QString &tip, int maxLength = 0,
                const QString &text = QString());
QPushButton *button(QWidget *parent, const QString &name, const QString &caption,
                    const QString &tip);
// A small button right of a port field; keyboard users reach it with Tab after the field.
QPushButton *portChooserButton(QWidget *parent, const QString &name, const QString &tip);
QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption,
                    const QString &tip);
// A row of widgets in a box layout; null entries become stretch.
QHBoxLayout *row(std::initializer_list<QWidget *> widgets);
void setHiddenAndDisabled(std::initializer_list<QWidget *> widgets);

} // namespace make

} // namespace keytoner
