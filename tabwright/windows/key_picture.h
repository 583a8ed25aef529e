#pragma once

#include <QWidget>

namespace tabwright {

// A 37 x 37 pixel picture laid over a key of the front panel, showing the
// key's symbol instead of its caption. It is drawn, not loaded, so it stays
// sharp at every scale. A click on it emits clicked().
class KeyPicture : public QWidget {
    Q_OBJECT

public:
    enum class Symbol { Up, Down, LeftRight, Go };

    static constexpr int kSide = 37;

    KeyPicture(const char* objectName, Symbol symbol, QWidget* parent);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Symbol symbol_;
};

}  // namespace tabwright
