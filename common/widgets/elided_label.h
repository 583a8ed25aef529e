#pragma once

#include <QLabel>

namespace common {

// A one-line label whose text, when too long for it, is shown elided in the middle with the
// whole text in its tool tip; text() is always the whole text. Its size does not follow its
// text: it asks for a few characters, so a long text never widens its window.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    ElidedLabel(const char* objectName, QWidget* parent);

    // Shows `text`, the whole of it also in the tool tip. Its first `kept` characters are
    // never elided: only what follows them is shortened (a path after a count).
    void setWholeText(const QString& text, qsizetype kept = 0);
    // What is shown: the whole text, or its elided form.
    QString shownText() const;
    // Whether the label is too narrow for the whole text.
    bool elided() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qsizetype kept_ = 0;
};

}  // namespace common
