#pragma once

#include "LinkReporter.h"

#include <QList>

namespace keytoner::link {

// A reporter with no dialog behind it: it keeps the last text, its colour and the images
// shown, for keytoner-cli to print and for tests to read.
class RecordingReporter : public LinkReporter {
public:
    explicit RecordingReporter(QString portText = QStringLiteral("1"))
        : portText_(std::move(portText))
    {
    }
    void setInfo(const QString &text) override { info_ = text; }
    QString info() const override { return info_; }
    void setInfoColor(InfoColor color) override { color_ = color; }
    InfoColor infoColor() const { return color_; }
    void setOkVisible(bool visible) override { ok_ = visible; }
    bool okVisible() const { return ok_; }
    void showDialog() override {}
    void showConfigImage(const ConfigImage &image) override { shownImages_.append(image); }
    const QList<ConfigImage> &shownImages() const { return shownImages_; }
    QString prgCommText() const override { return portText_; }

private:
    QString portText_;
    QString info_;
    InfoColor color_ = InfoColor::Black;
    bool ok_ = true;
    QList<ConfigImage> shownImages_;
};

} // namespace keytoner::link
