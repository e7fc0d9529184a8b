#include "Controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace keytoner::make {

QFont boldFixedFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(QApplication::font().pointSizeF());
    font.setBold(true);
    return font;
}

void fitChars(QLineEdit *edit, int chars)
{
    const int text = edit->fontMetrics().horizontalAdvance(QString(chars, u'W'));
    const int digits = edit->fontMetrics().horizontalAdvance(QString(chars, u'0'));
    const bool digitField = edit->font().fixedPitch() || chars <= 4;
    edit->setFixedWidth((digitField ? digits : text) + 18);
}

QGroupBox *groupBox(QWidget *parent, const char *name, const QString &title, const QString &tip)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(tip);
    return box;
}

QLabel *label(QWidget *parent, const QString &name, const QString &caption)
{
    auto *widget = new QLabel(caption, parent);
    widget->setObjectName(name);
    return widget;
}

QLineEdit *edit(QWidget *parent, const QString &name, const QString &tip, int maxLength,
                const QString &text)
{
    auto *widget = new QLineEdit(parent);
    widget->setObjectName(name);
    widget->setToolTip(tip);
    if (maxLength > 0)
        widget->setMaxLength(maxLength);
    widget->setText(text);
    return widget;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption,
                    const QString &tip)
{
    auto *widget = new QPushButton(caption, parent);
    widget->setObjectName(name);
    widget->setToolTip(tip);
    widget->setAutoDefault(false);
    return widget;
}

QPushButton *portChooserButton(QWidget *parent, const QString &name, const QString &tip)
{
    auto *widget = button(parent, name, QStringLiteral("\u2026"), tip + QStringLiteral("..."));
    widget->setAccessibleName(tip);
    widget->setFixedWidth(widget->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 6);
    return widget;
}

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption,
                    const QString &tip)
{
    auto *widget = new QCheckBox(caption, parent);
    widget->setObjectName(name);
    widget->setToolTip(tip);
    return widget;
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *widget : widgets) {
        if (widget)
            layout->addWidget(widget);
        else
            layout->addStretch(1);
    }
    return layout;
}

void setHiddenAndDisabled(std::initializer_list<QWidget *> widgets)
{
    for (QWidget *widget : widgets) {
        widget->setVisible(false);
        widget->setEnabled(false);
    }
}

} // namespace keytoner::make
