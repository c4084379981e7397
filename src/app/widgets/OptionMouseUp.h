// The mouse-up of option buttons: reported when the user releases the left mouse button over an
// option, after the option has taken the click (so it is already checked in its group). A
// keyboard change of an option is not reported: it changes only its own group.
#pragma once

#include <QObject>
#include <QString>

class QAbstractButton;

namespace app {

class OptionMouseUp : public QObject {
    Q_OBJECT
public:
    explicit OptionMouseUp(QObject* parent = nullptr);

    void watch(QAbstractButton* option);

signals:
    // The option's object name.
    void released(const QString& option);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool delivering_ = false;
};

}  // namespace app
