#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace skin {

// The welcome clip's player: the 27 frames of "WELCOME_AVI" at 10 frames per second, repeated while
// active; inactive it shows its current frame still.
class TAnimate : public QWidget {
    Q_OBJECT
public:
    explicit TAnimate(QWidget* parent = nullptr);

    void SetActive(bool active);
    bool Active() const { return timer.isActive(); }
    int CurrentFrame() const { return frame; }
    int FrameCount() const { return static_cast<int>(frames.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void NextFrame();

    std::vector<QImage> frames;
    int frame = 0;
    QTimer timer;
};

} // namespace skin
