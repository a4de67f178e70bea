#pragma once

#include "TwipsLayout.h"

#include <QWidget>

class QFrame;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace sumlark::ui {

// frmSplash: title, version, how to use the program and how to print its
// sheets. It closes on OK, on any key that types a character, and on a click
// on the frame itself; closing deletes it, so each opening loads it afresh.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // Whether a key press counts as typing a character, which closes the
    // window: Escape, Enter and Backspace do; arrows, function keys, Tab and
    // modifiers alone do not.
    static bool typesCharacter(const QKeyEvent& key);

public slots:
    void Form_Load();
    void cmdOK_Click();
    void Form_KeyPress();
    void Frame1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void applyGeometry();

    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblWarning = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblLicenseTo = nullptr;
    QLabel* lblCompany = nullptr;
    QPushButton* cmdOK = nullptr;

    TwipsLayout layout_;
    bool frameArmed_ = false;
    bool placed_ = false;
};

} // namespace sumlark::ui
