#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

namespace keytoner {

// A scrolling spectrum picture: frequency across (0 to the top of the rows' band), time
// downwards, the newest row at the top. Rows come from Spectrum; levels map to colours from
// the floor (black) to full scale (white).
class WaterfallView : public QWidget {
    Q_OBJECT
public:
    WaterfallView(int bands, double topHz, QWidget *parent = nullptr);

    // Rows arrive faster than a screen needs them: the owner calls update() at its own pace.
    void addRow(const std::vector<float> &levelsDb);
    void clear();
    int rowsShown() const { return rowsShown_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect pictureRect() const;

    QImage picture_;
    double topHz_;
    int rowsShown_ = 0;
};

} // namespace keytoner
