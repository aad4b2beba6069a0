#pragma once
// A bar painted as a horizontal colour gradient over its first GradientWidth() pixels, used as the
// updater's progress bar. The rest of the bar shows the window background.

#include <QColor>
#include <QWidget>

namespace kav {

class TGradientBar final : public QWidget {
    Q_OBJECT

public:
    explicit TGradientBar(QWidget* parent = nullptr);

    qint64 GradientWidth() const { return gradientWidth_; }
    // Widths beyond the bar are painted as a full bar; negative widths as an empty one.
    void SetGradientWidth(qint64 width);

    QColor BeginColor() const { return beginColor_; }
    void SetBeginColor(const QColor& color);
    QColor EndColor() const { return endColor_; }
    void SetEndColor(const QColor& color);

signals:
    void GradientWidthChanged(qint64 width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qint64 gradientWidth_ = 0;
    QColor beginColor_ = Qt::white;
    QColor endColor_ = Qt::black;
};

} // namespace kav
